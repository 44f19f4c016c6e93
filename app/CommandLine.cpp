#include "CommandLine.h"

#include <strings.h>
#include <vector>

namespace {

std::string MadeAbsolute(const std::string& argument, const std::string& workingFolder) {
    std::size_t pathStart = argument.find_first_not_of('"');
    if (pathStart == std::string::npos || argument[pathStart] == '/' || workingFolder.empty())
        return argument;
    std::string folder = workingFolder.back() == '/' ? workingFolder : workingFolder + '/';
    return argument.substr(0, pathStart) + folder + argument.substr(pathStart);
}

} // namespace

bool IsCommandLineKeyword(const std::string& commandLine, const char* keyword) {
    return strcasecmp(commandLine.c_str(), keyword) == 0;
}

CommandLine ParseCommandLine(std::span<const char* const> arguments, const std::string& workingFolder) {
    CommandLine result;
    std::vector<std::string> items;
    for (const char* argument : arguments) {
        if (argument[0] != '\0')
            items.emplace_back(argument);
    }
    if (!items.empty() && (items.front() == "--help" || items.front() == "--version")) {
        result.request = items.front() == "--help" ? StartRequest::Help : StartRequest::Version;
        return result;
    }
    if (items.size() == 1 && (IsCommandLineKeyword(items.front(), kUnregisterKeyword) ||
                              IsCommandLineKeyword(items.front(), kStartupKeyword))) {
        result.text = items.front();
        return result;
    }
    for (const std::string& item : items) {
        if (item.find(kHandOffDelimiter) != std::string::npos) {
            result.request = StartRequest::Refused;
            result.refusedArgument = item;
            result.text.clear();
            return result;
        }
        if (!result.text.empty())
            result.text += kHandOffDelimiter;
        result.text += MadeAbsolute(item, workingFolder);
    }
    return result;
}
