// A later start of the tray program with one file, against a running copy: the time from exec to
// the start's exit, and from exec to the file's job producing its WAV file in the running copy
// (the job's worker opens the WAV file right after the row is added, with jobs run at once).
// Prints the medians. Usage: larkspur_second_start_bench [RUNS]
#include "ChildProcess.h"
#include "RegistryKey.h"
#include "ScopedXdgEnvironment.h"
#include "Window.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <poll.h>
#include <sys/inotify.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Waits for `name` to be created in the watched folder; the moment it was seen.
std::optional<Clock::time_point> WaitForCreation(int watch, const std::string& name) {
    char buffer[4096] __attribute__((aligned(__alignof__(inotify_event))));
    auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        pollfd ready{watch, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0)
            continue;
        ssize_t length = read(watch, buffer, sizeof buffer);
        for (ssize_t offset = 0; offset < length;) {
            auto* event = reinterpret_cast<inotify_event*>(buffer + offset);
            if (event->len > 0 && name == event->name)
                return Clock::now();
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 30;
    ScopedXdgEnvironment environment;
    fs::path music = environment.Root() / "music";
    fs::path output = environment.Root() / "wav";
    fs::create_directories(music);
    fs::create_directories(output);
    {
        CRegistryKey key;
        key.Create(HKEY_CURRENT_USER, "SoftWare\\Larkspur\\Larkspur");
        key.WriteNumber("iWavLoc", 1);
        key.WriteString("sWavLoc", output.c_str());
        key.WriteNumber("Async", 1);
    }
    ChildProcess firstCopy(LARKSPUR_BINARY, {}, {{"QT_QPA_PLATFORM", "offscreen"}});
    if (!Eventually(
            [&] { return fs::exists(environment.RuntimeDir() / "larkspur" / "Larkspur%21.window"); })) {
        std::fprintf(stderr, "the first copy did not come up\n");
        return 1;
    }
    int watch = inotify_init1(IN_CLOEXEC);
    inotify_add_watch(watch, output.c_str(), IN_CREATE | IN_MOVED_TO);

    ChildProcess::EnvironmentChanges noDisplay{{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}};
    std::vector<double> toExit;
    std::vector<double> toJob;
    for (int run = 0; run < runs; ++run) {
        std::string name = "run" + std::to_string(run);
        fs::copy_file(fs::path(LARKSPUR_FIXTURES_DIR) / "cbr-stereo.mp3", music / (name + ".mp3"));
        Clock::time_point started = Clock::now();
        ChildProcess second(LARKSPUR_BINARY, {(music / (name + ".mp3")).string()}, noDisplay);
        if (second.WaitForExit() != 0) {
            std::fprintf(stderr, "run %d: the later start failed\n", run);
            return 1;
        }
        toExit.push_back(Milliseconds(second.Lifetime()));
        auto created = WaitForCreation(watch, name + ".wav");
        if (!created) {
            std::fprintf(stderr, "run %d: no job for the file\n", run);
            return 1;
        }
        toJob.push_back(Milliseconds(*created - started));
    }
    PostMessageA(FindWindowA(nullptr, "Larkspur!"), WM_CLOSE, 0, 0);
    firstCopy.WaitForExit();

    std::printf("later start, exec to exit:             median %.1f ms (target <= 30 ms), %d runs\n",
                Median(toExit), runs);
    std::printf("later start, exec to the job's WAV file: median %.1f ms (target <= 100 ms)\n",
                Median(toJob));
    return 0;
}
