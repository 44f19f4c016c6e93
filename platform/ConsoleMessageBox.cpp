#include "ConsoleMessageBox.h"

#include <cerrno>
#include <unistd.h>

ConsoleMessageBoxService::ConsoleMessageBoxService(std::string program)
    : m_program(program.empty() ? std::string(program_invocation_short_name) : std::move(program)) {}

std::string ConsoleMessageBoxService::FormatLine(const std::string& text, const std::string& subject) const {
    std::string line = m_program + ": ";
    if (!subject.empty()) {
        line += subject + ": ";
    }
    return line + text;
}

int ConsoleMessageBoxService::Show(const std::string& text, UINT /*type*/, const std::string& subject) {
    // One write per line, so lines of several workers never interleave.
    const std::string line = FormatLine(text, subject) + '\n';
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t result = write(STDERR_FILENO, line.data() + written, line.size() - written);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            break;
        }
        written += static_cast<std::size_t>(result);
    }
    return IDOK;
}
