#include "BatchConverter.h"

#include "ConversionJob.h"
#include "DestinationName.h"
#include "DirectoryChain.h"
#include "JobFailureRecorder.h"
#include "JobProgress.h"
#include "WorkerStart.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace {

// How often the progress is shown and a stop request is looked for.
constexpr std::chrono::milliseconds kPollInterval{200};

struct Completion {
    std::mutex lock;
    std::condition_variable changed;
    std::size_t finished = 0;
};

struct Slot {
    ConversionJob job;
    std::string failure;
    Completion* completion = nullptr;
    bool started = false;
    bool finished = false; // guarded by completion->lock
    bool collected = false;
};

void RunSlot(void* argument) {
    auto& slot = *static_cast<Slot*>(argument);
    JobFailureRecorder::RunWorker(slot.job, slot.failure);
    std::lock_guard guard(slot.completion->lock);
    slot.finished = true;
    ++slot.completion->finished;
    slot.completion->changed.notify_all();
}

using FileIdentity = std::pair<dev_t, ino_t>;

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{info.st_dev, info.st_ino};
}

// Gives every source its destination: the naming rule, then a free name among the batch's
// destinations and sources (a source reached through another spelling of its path included).
void NameDestinations(std::vector<std::unique_ptr<Slot>>& slots, const DestinationFolder& folder) {
    std::set<FileIdentity> sourceFiles;
    for (const auto& slot : slots) {
        if (const auto identity = IdentityOf(slot->job.m_strSource)) {
            sourceFiles.insert(*identity);
        }
    }
    std::set<std::string> taken;
    const auto isTaken = [&](const std::string& name) {
        if (taken.contains(name)) {
            return true;
        }
        const auto identity = IdentityOf(name);
        return identity && sourceFiles.contains(*identity);
    };
    for (auto& slot : slots) {
        slot->job.m_strDest = UniqueDestination(
            DestinationForSource(slot->job.m_strSource, folder.iWavLoc, folder.sWavLoc), isTaken);
        taken.insert(slot->job.m_strDest);
    }
}

// Slots that the workers have finished since the last call, marked as collected.
std::vector<Slot*> WaitForEnded(std::vector<std::unique_ptr<Slot>>& slots, Completion& completion,
                                std::size_t& collected, const std::function<bool()>& stopNow) {
    std::unique_lock guard(completion.lock);
    completion.changed.wait_for(guard, kPollInterval,
                                [&] { return completion.finished > collected || stopNow(); });
    std::vector<Slot*> ended;
    for (auto& slot : slots) {
        if (slot->finished && !slot->collected) {
            slot->collected = true;
            ++collected;
            ended.push_back(slot.get());
        }
    }
    return ended;
}

bool Running(const Slot& slot) {
    return slot.started && !slot.collected;
}

// Asks every running worker to stop after its current step. Asked again at every round: a
// request made before a worker has started is lost.
void StopRunning(std::vector<std::unique_ptr<Slot>>& slots) {
    for (auto& slot : slots) {
        if (Running(*slot)) {
            slot->job.m_bAbort = 1;
        }
    }
}

// The jobs still running, for the progress display.
std::vector<RunningJob> RunningJobs(std::vector<std::unique_ptr<Slot>>& slots) {
    std::vector<RunningJob> running;
    for (auto& slot : slots) {
        // A worker that has just ended shows nothing rather than "pending".
        if (Running(*slot) && slot->job.m_bDone == 0) {
            running.push_back({&slot->job.m_strSource, ReadJobProgress(slot->job)});
        }
    }
    return running;
}

} // namespace

BatchOutcome ConvertBatch(const std::vector<std::string>& sources, const DestinationFolder& folder,
                          unsigned int maxRunning, BatchReporter& reporter,
                          const std::function<bool()>& interrupted) {
    JobFailureRecorder recorder;
    SetMessageBoxService(&recorder);
    Completion completion;
    std::vector<std::unique_ptr<Slot>> slots;
    for (const auto& source : sources) {
        auto slot = std::make_unique<Slot>();
        slot->job.m_strSource = source;
        slot->completion = &completion;
        slots.push_back(std::move(slot));
    }
    NameDestinations(slots, folder);
    if (folder.iWavLoc != 0 && !folder.sWavLoc.empty()) {
        // A folder that cannot be made shows up as each worker's output failure.
        CreateDirectoryChain(folder.sWavLoc.c_str());
    }

    BatchOutcome outcome;
    // Once interrupted: no further start, and every running worker asked to stop.
    const auto noticeInterrupt = [&] {
        if (outcome.interrupted || !interrupted()) {
            return;
        }
        outcome.interrupted = true;
        StopRunning(slots);
        reporter.Stopping();
    };
    std::size_t next = 0;
    std::size_t running = 0;
    std::size_t collected = 0;
    for (;;) {
        noticeInterrupt();
        for (; !outcome.interrupted && running < maxRunning && next < slots.size(); ++next) {
            Slot& slot = *slots[next];
            if (StartWorkerThread(slot.job, RunSlot, &slot) == 0) {
                reporter.JobFailed(slot.job.m_strSource, "cannot start a worker thread");
                ++outcome.failed;
                continue;
            }
            slot.started = true;
            ++running;
        }
        if (running == 0) {
            break;
        }
        const auto ended =
            WaitForEnded(slots, completion, collected, [&] { return !outcome.interrupted && interrupted(); });
        noticeInterrupt();
        if (outcome.interrupted) {
            StopRunning(slots);
        }
        for (Slot* slot : ended) {
            --running;
            if (!slot->failure.empty()) {
                reporter.JobFailed(slot->job.m_strSource, slot->failure);
                ++outcome.failed;
            } else if (slot->job.m_bAbort == 0) {
                ++outcome.converted;
            }
        }
        reporter.ShowRunning(RunningJobs(slots));
    }
    SetMessageBoxService(nullptr);
    return outcome;
}
