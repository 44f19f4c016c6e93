// The command line of larkspur-convert.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct ConvertOptions {
    std::optional<std::string> outputFolder; // -o DIR
    unsigned int maxRunning = 0;             // -j N; 0 until the default is filled in
    bool quiet = false;                      // -q
    std::vector<std::string> files;
};

struct ConvertCommandLine {
    enum class Action { Convert, Help, Version, UsageError };
    Action action = Action::Convert;
    ConvertOptions options;
    std::string error; // for UsageError: what was wrong
};

// Reads the arguments after the program name. Short options may be bundled (-qj2) and take
// their value attached or as the next argument; "--" ends the options.
ConvertCommandLine ParseConvertCommandLine(const std::vector<std::string>& arguments);

// The text of --help.
std::string ConvertUsageText(const std::string& program);
