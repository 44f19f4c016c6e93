// The main window under a long job list: one queue tick over 1000 rows with 100 running jobs,
// adding 1000 files in sequential mode, and the memory that 1000 pending jobs take.
#include "AppSettings.h"
#include "CConverterDlg.h"
#include "CReportListCtrl.h"
#include "ConversionJob.h"
#include "ScopedXdgEnvironment.h"
#include "decoder.h"

#include <QApplication>
#include <array>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>
#include <string>

namespace {

constexpr int kRows = 1000;
constexpr int kRunningEvery = 10; // 100 of the 1000 rows run

std::string SourcePath(int number) {
    return "/home/user/Music/Some Artist/Some Album/" + std::to_string(number) + " - A Track Title.mp3";
}

// A decoder record whose input reports figures the benchmark moves on between ticks.
struct FakeDecoder {
    XA_InputInfo input{};
    XA_DecoderInfo decoder{};
};

struct Window {
    Window() : dialog(settings) {
        settings.Async = 0;
        dialog.Create();
    }
    ScopedXdgEnvironment xdg;
    AppSettings settings;
    CConverterDlg dialog;
};

void BM_QueueTickOver1000RowsWith100Running(benchmark::State& state) {
    Window window;
    std::array<FakeDecoder, kRows / kRunningEvery> decoders{};
    std::vector<ConversionJob*> running;
    CReportListCtrl& list = window.dialog.JobList();
    for (int row = 0; row < kRows; ++row) {
        if (row % kRunningEvery == 0) {
            FakeDecoder& fake = decoders[static_cast<std::size_t>(row / kRunningEvery)];
            fake.decoder.input = &fake.input;
            fake.input.size = 5'000'000;
            auto* job = new ConversionJob;
            job->m_strSource = SourcePath(row);
            job->m_strDest = job->m_strSource + ".wav";
            job->m_hThread = 1; // counts as running: the tick starts nothing for it
            job->m_pDecoder = &fake.decoder;
            list.InsertItemText(row, 0, QString::fromStdString(job->m_strSource),
                                reinterpret_cast<LPARAM>(job));
            list.InsertItemText(row, 1, QStringLiteral("pending"), 0);
            running.push_back(job);
        } else {
            window.dialog.AddSourceFile(SourcePath(row));
        }
    }
    std::uint64_t position = 0;
    for (auto _ : state) {
        position += 4321; // every running row gets a new percentage, as in a real second
        for (FakeDecoder& fake : decoders) {
            fake.input.position = position;
        }
        window.dialog.OnQueueTimer();
    }
    for (ConversionJob* job : running) {
        job->m_pDecoder = nullptr;
        job->m_hThread = 0;
        job->m_bDone = 1;
    }
}
BENCHMARK(BM_QueueTickOver1000RowsWith100Running)->Unit(benchmark::kMillisecond);

void BM_Add1000FilesInSequentialMode(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<Window>();
        state.ResumeTiming();
        for (int number = 0; number < kRows; ++number) {
            window->dialog.AddSourceFile(SourcePath(number));
        }
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Add1000FilesInSequentialMode)->Unit(benchmark::kMillisecond)->Iterations(5);

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

void BM_MemoryOf1000PendingJobs(benchmark::State& state) {
    double extra = 0;
    for (auto _ : state) {
        Window window;
        const std::size_t before = HeapInUse();
        for (int number = 0; number < kRows; ++number) {
            window.dialog.AddSourceFile(SourcePath(number));
        }
        extra = static_cast<double>(HeapInUse() - before);
    }
    state.counters["MiB_for_1000_jobs"] = extra / (1024.0 * 1024.0);
}
BENCHMARK(BM_MemoryOf1000PendingJobs)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
