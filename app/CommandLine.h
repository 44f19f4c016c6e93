// The program's arguments as the one command-line text that the copies hand to each other.
#pragma once

#include <span>
#include <string>

enum class StartRequest {
    Run,     // start or hand over `text`
    Help,    // print the usage and exit
    Version, // print the version and exit
    Refused, // an argument cannot be handed over; `refusedArgument` names it
};

struct CommandLine {
    StartRequest request = StartRequest::Run;
    // The arguments joined with "|", empty ones left out; relative paths made absolute.
    std::string text;
    std::string refusedArgument;
};

// The hand-off delimiter: an argument holding it would be read as two files.
inline constexpr char kHandOffDelimiter = '|';

// `arguments` without the program's name. A lone "-unregister" or "-startup" (any case) is kept
// as it is; every other argument names a file and is made absolute against `workingFolder`, past
// any double quotes it starts with.
CommandLine ParseCommandLine(std::span<const char* const> arguments, const std::string& workingFolder);

// Whether the whole command line is `keyword`, compared without regard to the case of A to Z.
bool IsCommandLineKeyword(const std::string& commandLine, const char* keyword);

inline constexpr char kUnregisterKeyword[] = "-unregister";
inline constexpr char kStartupKeyword[] = "-startup";
