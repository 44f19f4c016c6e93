#include "ConsoleReporter.h"

#include "StringTable.h"
#include "resource.h"

#include <array>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

std::size_t TerminalColumns() {
    winsize size{};
    return ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

// `text` cut to at most `columns` characters of UTF-8 (each code point taken as one column).
std::string CutToColumns(const std::string& text, std::size_t columns) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && seen++ == columns) {
            return text.substr(0, i);
        }
    }
    return text;
}

void Print(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

} // namespace

ConsoleReporter::ConsoleReporter(std::string program, bool showProgress, bool quiet)
    : m_errors(std::move(program)), m_showProgress(showProgress), m_quiet(quiet) {}

void ConsoleReporter::JobFailed(const std::string& source, const std::string& text) {
    ClearProgress();
    m_errors.Show(text, 0, source);
}

void ConsoleReporter::Stopping() {
    if (!m_quiet) {
        ClearProgress();
        m_errors.Show("interrupted; stopping after the current step", 0, {});
    }
}

void ConsoleReporter::ShowRunning(const std::vector<RunningJob>& running) {
    if (!m_showProgress) {
        return;
    }
    ClearProgress();
    // One column less than the terminal, so no line ever wraps and the count of lines holds.
    const std::size_t columns = TerminalColumns();
    std::string block;
    for (const auto& job : running) {
        block += ProgressLine(job, columns > 1 ? columns - 1 : 0) + '\n';
    }
    Print(stdout, block);
    m_linesShown = running.size();
}

void ConsoleReporter::Summarize(const BatchOutcome& outcome, std::size_t total) {
    ClearProgress();
    if (!m_quiet) {
        Print(stdout, SummaryLine(outcome, total) + '\n');
    }
}

std::string ConsoleReporter::ProgressLine(const RunningJob& job, std::size_t columns) {
    std::string status = LoadStringResource(IDS_PENDING);
    if (job.percent) {
        std::array<char, 32> text{};
        std::snprintf(text.data(), text.size(), "%.1f%% %s", *job.percent, LoadStringResource(IDS_COMPLETE));
        status = text.data();
    }
    const std::string line = status + "  " + *job.source;
    return columns == 0 ? line : CutToColumns(line, columns);
}

std::string ConsoleReporter::SummaryLine(const BatchOutcome& outcome, std::size_t total) {
    std::string line = std::to_string(outcome.converted) + " of " + std::to_string(total) +
                       (total == 1 ? " file" : " files") + " converted";
    if (outcome.failed > 0) {
        line += ", " + std::to_string(outcome.failed) + " failed";
    }
    if (outcome.interrupted) {
        line += ", interrupted";
    }
    return line + ".";
}

void ConsoleReporter::ClearProgress() {
    if (m_linesShown == 0) {
        return;
    }
    // Back to the start of the first progress line, then erase to the end of the screen.
    Print(stdout, "\x1b[" + std::to_string(m_linesShown) + "F\x1b[J");
    m_linesShown = 0;
}
