// LoadSettings as AddSourceFile calls it for every added file: create the key, five reads,
// close, all against the per-user database on disk.
#include "AppSettings.h"
#include "ScopedXdgEnvironment.h"

#include <benchmark/benchmark.h>

namespace {

void BM_LoadSettings(benchmark::State& state) {
    ScopedXdgEnvironment environment;
    AppSettings stored;
    stored.iWavLoc = 1;
    stored.sWavLoc = "/home/user/Music/Wav";
    stored.RunAtStartup = FALSE;
    stored.SaveSettings();

    AppSettings settings;
    for (auto _ : state) {
        settings.LoadSettings();
        benchmark::DoNotOptimize(settings.Priority);
    }
    if (settings.sWavLoc != stored.sWavLoc) {
        state.SkipWithError("the settings did not load");
    }
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
