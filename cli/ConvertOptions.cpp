#include "ConvertOptions.h"

#include <charconv>

namespace {

constexpr unsigned int kMostJobsAtOnce = 1024;

ConvertCommandLine UsageError(std::string error) {
    ConvertCommandLine result;
    result.action = ConvertCommandLine::Action::UsageError;
    result.error = std::move(error);
    return result;
}

std::optional<unsigned int> ParseJobCount(const std::string& text) {
    unsigned int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > kMostJobsAtOnce) {
        return std::nullopt;
    }
    return value;
}

} // namespace

ConvertCommandLine ParseConvertCommandLine(const std::vector<std::string>& arguments) {
    ConvertCommandLine result;
    ConvertOptions& options = result.options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            if (argument.empty()) {
                return UsageError("an empty file name");
            }
            options.files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help") {
            result.action = ConvertCommandLine::Action::Help;
            return result;
        }
        if (argument == "--version") {
            result.action = ConvertCommandLine::Action::Version;
            return result;
        }
        if (argument.starts_with("--")) {
            return UsageError("unknown option '" + argument + "'");
        }
        for (std::size_t at = 1; at < argument.size(); ++at) {
            const char option = argument[at];
            if (option == 'q') {
                options.quiet = true;
                continue;
            }
            if (option != 'o' && option != 'j') {
                return UsageError(std::string("unknown option '-") + option + "'");
            }
            std::string value = argument.substr(at + 1);
            if (value.empty()) {
                if (i + 1 == arguments.size()) {
                    return UsageError(std::string("option '-") + option + "' needs a value");
                }
                value = arguments[++i];
            }
            if (option == 'o') {
                if (value.empty()) {
                    return UsageError("an empty folder name for '-o'");
                }
                options.outputFolder = value;
            } else if (const auto count = ParseJobCount(value)) {
                options.maxRunning = *count;
            } else {
                return UsageError("'-j' needs a whole number from 1 to " + std::to_string(kMostJobsAtOnce) +
                                  ", not '" + value + "'");
            }
            break;
        }
    }
    if (options.files.empty()) {
        return UsageError("no MP3 file given");
    }
    return result;
}

std::string ConvertUsageText(const std::string& program) {
    return "Usage: " + program +
           " [-o DIR] [-j N] [-q] FILE...\n"
           "Converts MP3 files into WAV files (16-bit PCM at the stream's rate and channels).\n"
           "\n"
           "  -o DIR     write the WAV files into DIR, created if missing;\n"
           "             without it each WAV file goes beside its MP3 file\n"
           "  -j N       convert at most N files at once (default: the number of processors);\n"
           "             -j 1 converts one after the other, in the order given\n"
           "  -q         print nothing but errors\n"
           "  --help     show this text\n"
           "  --version  show the version\n"
           "\n"
           "Two files that would get the same WAV name are told apart as \"name (2).wav\", ...\n"
           "An existing WAV file of that name is overwritten.\n"
           "\n"
           "Exit status: 0 when every file was converted, 1 when any failed, 2 for a usage\n"
           "error, 130 when interrupted (the files written so far stay valid).\n";
}
