// larkspur-convert: converts MP3 files into WAV files without a window, with the same naming,
// folder creation, worker and decoder as the tray program.
#include "BatchConverter.h"
#include "ConsoleReporter.h"
#include "ConvertOptions.h"
#include "DestinationFolder.h"
#include "Interrupt.h"

#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kExitConverted = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

constexpr const char* kProgram = "larkspur-convert";

unsigned int ProcessorCount() {
    const unsigned int count = std::thread::hardware_concurrency();
    return count == 0 ? 1 : count;
}

} // namespace

int main(int argc, char** argv) {
    const ConvertCommandLine commandLine =
        ParseConvertCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (commandLine.action) {
    case ConvertCommandLine::Action::Help:
        std::fputs(ConvertUsageText(kProgram).c_str(), stdout);
        return kExitConverted;
    case ConvertCommandLine::Action::Version:
        std::printf("%s %s\n", kProgram, LARKSPUR_VERSION);
        return kExitConverted;
    case ConvertCommandLine::Action::UsageError:
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram,
                     commandLine.error.c_str(), kProgram);
        return kExitUsage;
    case ConvertCommandLine::Action::Convert:
        break;
    }

    const ConvertOptions& options = commandLine.options;
    InstallInterruptHandler();
    ConsoleReporter reporter(kProgram, !options.quiet && isatty(STDOUT_FILENO) != 0, options.quiet);
    const BatchOutcome outcome = ConvertBatch(options.files, ChooseDestinationFolder(options.outputFolder),
                                              options.maxRunning != 0 ? options.maxRunning : ProcessorCount(),
                                              reporter, InterruptRequested);
    reporter.Summarize(outcome, options.files.size());
    if (outcome.interrupted) {
        return kExitInterrupted;
    }
    return outcome.failed > 0 ? kExitFailed : kExitConverted;
}
