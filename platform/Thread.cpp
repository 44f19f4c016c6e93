#include "Thread.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <future>
#include <mutex>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace {

// Handles of live threads and their kernel thread ids. An entry is removed before its thread
// ends, so a handle found here never names a tid that the kernel has handed out again.
struct LiveThreads {
    std::mutex lock;
    std::unordered_map<ThreadHandle, pid_t> tids;
    ThreadHandle lastHandle = 0;
};

// Never destroyed: detached threads may still be ending while the program exits.
LiveThreads& Registry() {
    static auto* registry = new LiveThreads;
    return *registry;
}

// The nice values of THREAD_PRIORITY_LOWEST (-2) to THREAD_PRIORITY_HIGHEST (2).
constexpr std::array<int, 5> kNiceForPriority{10, 5, 0, -5, -10};
constexpr int kLowestPriority = -2;
constexpr int kHighestPriority = 2;

void RunThread(ThreadHandle handle, ThreadFunction function, void* argument, std::promise<void> started) {
    {
        std::lock_guard guard(Registry().lock);
        Registry().tids.emplace(handle, gettid());
    }
    started.set_value();
    function(argument);
    std::lock_guard guard(Registry().lock);
    Registry().tids.erase(handle);
}

} // namespace

ThreadHandle BeginThread(ThreadFunction function, void* argument) {
    if (function == nullptr) {
        return 0;
    }
    try {
        ThreadHandle handle = 0;
        {
            std::lock_guard guard(Registry().lock);
            handle = ++Registry().lastHandle;
        }
        std::promise<void> started;
        std::future<void> registered = started.get_future();
        std::thread(RunThread, handle, function, argument, std::move(started)).detach();
        // The caller sets the priority right after the start; the tid must be known by then.
        registered.wait();
        return handle;
    } catch (...) {
        return 0;
    }
}

int SetThreadPriority(ThreadHandle thread, int priority) {
    // Values beyond the five named levels (idle, time-critical) take the nearest one.
    const int level = std::clamp(priority, kLowestPriority, kHighestPriority);
    const int nice = kNiceForPriority[static_cast<std::size_t>(level - kLowestPriority)];
    std::lock_guard guard(Registry().lock);
    const auto found = Registry().tids.find(thread);
    if (found == Registry().tids.end()) {
        return 0;
    }
    // Raising a priority needs a privilege that an ordinary user may lack; the thread then
    // simply keeps its current one.
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(found->second), nice) != 0 && errno != EACCES &&
        errno != EPERM) {
        return 0;
    }
    return 1;
}

void SleepEx(unsigned int milliseconds, int /*alertable*/) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
