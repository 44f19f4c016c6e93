// larkspur: the tray program. A first start becomes the running copy; later starts hand their
// files to it and end at once, without a display.
#include "CommandLine.h"
#include "ConverterApp.h"

#include <cstdio>
#include <filesystem>
#include <span>

namespace {

constexpr char kUsage[] =
    "Usage: larkspur [FILE.mp3]...\n"
    "       larkspur -startup | -unregister\n"
    "       larkspur --help | --version\n"
    "\n"
    "Converts MP3 files into WAV files from the notification area. The first start stays\n"
    "running; a later start hands its files to the running copy and ends.\n"
    "\n"
    "  FILE.mp3     queue the file for conversion (relative paths are taken from here)\n"
    "  -startup     start hidden in the notification area; with a copy running, show or hide\n"
    "               its window\n"
    "  -unregister  remove the \"Make WAV File...\" entry and the start-up entries, and end\n"
    "               the running copy\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n";

std::string WorkingFolder() {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string() : folder.string();
}

} // namespace

int main(int argc, char** argv) {
    CommandLine commandLine =
        ParseCommandLine(std::span<const char* const>(argv + 1, argv + argc), WorkingFolder());
    switch (commandLine.request) {
    case StartRequest::Help:
        std::fputs(kUsage, stdout);
        return 0;
    case StartRequest::Version:
        std::printf("larkspur %s\n", LARKSPUR_VERSION);
        return 0;
    case StartRequest::Refused:
        std::fprintf(stderr, "larkspur: cannot hand over \"%s\": a file name must not contain \"|\"\n",
                     commandLine.refusedArgument.c_str());
        return 2;
    case StartRequest::Run:
        break;
    }
    CConverterApp app(argc, argv, commandLine.text);
    if (!app.InitInstance())
        return app.ExitInstance();
    return app.Run();
}
