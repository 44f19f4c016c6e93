#include "Thread.h"

#include <array>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// A thread that reports its tid and runs until told to end.
struct Parked {
    std::atomic<pid_t> tid{0};
    std::atomic<bool> release{false};
    std::atomic<bool> ended{false};
};

void Park(void* argument) {
    auto& parked = *static_cast<Parked*>(argument);
    parked.tid = gettid();
    while (!parked.release) {
        std::this_thread::sleep_for(1ms);
    }
    parked.ended = true;
}

TEST(Thread, PriorityBecomesTheThreadsNiceValue) {
    Parked parked;
    const ThreadHandle handle = BeginThread(Park, &parked);
    ASSERT_NE(handle, 0u);
    while (parked.tid == 0) {
        std::this_thread::sleep_for(1ms);
    }
    const int callerNice = getpriority(PRIO_PROCESS, 0);
    // Without the privilege a raise is refused and the thread keeps its nice value.
    const bool mayRaise = geteuid() == 0;
    int expected = getpriority(PRIO_PROCESS, static_cast<id_t>(parked.tid.load()));
    const std::array<std::array<int, 2>, 6> cases{{{-2, 10}, {-1, 5}, {0, 0}, {1, -5}, {2, -10}, {-15, 10}}};
    for (const auto& [priority, nice] : cases) {
        SCOPED_TRACE(priority);
        EXPECT_EQ(SetThreadPriority(handle, priority), 1);
        expected = nice >= expected || mayRaise ? nice : expected;
        EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(parked.tid.load())), expected);
    }
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), callerNice) << "the calling thread keeps its own priority";

    parked.release = true;
    while (!parked.ended) {
        std::this_thread::sleep_for(1ms);
    }
    // Once the thread has ended its handle names nothing, even if the kernel reuses the tid.
    for (int tries = 0; tries < 1000 && SetThreadPriority(handle, 0) != 0; ++tries) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(SetThreadPriority(handle, 0), 0);
    EXPECT_EQ(SetThreadPriority(0, 0), 0);
}

TEST(Thread, HandlesAreDistinctAndNonzero) {
    std::array<Parked, 3> parked;
    std::array<ThreadHandle, 3> handles{};
    for (std::size_t i = 0; i < parked.size(); ++i) {
        handles[i] = BeginThread(Park, &parked[i]);
        EXPECT_NE(handles[i], 0u);
    }
    EXPECT_NE(handles[0], handles[1]);
    EXPECT_NE(handles[1], handles[2]);
    for (auto& p : parked) {
        p.release = true;
    }
    for (auto& p : parked) {
        while (!p.ended) {
            std::this_thread::sleep_for(1ms);
        }
    }
    EXPECT_EQ(BeginThread(nullptr, nullptr), 0u);
}

} // namespace
