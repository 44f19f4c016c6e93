// The converter's output on the console: failures on standard error, and on a terminal a
// progress line per running job, redrawn in place, followed by a summary.
#pragma once

#include "BatchConverter.h"
#include "ConsoleMessageBox.h"

#include <cstdio>
#include <string>

class ConsoleReporter : public BatchReporter {
public:
    // `showProgress`: draw the progress lines (standard output is a terminal and not quiet).
    ConsoleReporter(std::string program, bool showProgress, bool quiet);

    void JobFailed(const std::string& source, const std::string& text) override;
    // Unless quiet: a line on standard error saying that the running conversions are stopping.
    void Stopping() override;
    void ShowRunning(const std::vector<RunningJob>& running) override;
    // Clears the progress lines and, unless quiet, prints what became of the batch.
    void Summarize(const BatchOutcome& outcome, std::size_t total);

    // One progress line, at most `columns` characters wide (0: no limit).
    static std::string ProgressLine(const RunningJob& job, std::size_t columns);
    static std::string SummaryLine(const BatchOutcome& outcome, std::size_t total);

private:
    void ClearProgress();

    ConsoleMessageBoxService m_errors;
    bool m_showProgress;
    bool m_quiet;
    std::size_t m_linesShown = 0;
};
