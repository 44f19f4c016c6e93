// A window's receiving end that records every message posted to it, for tests that post from
// other threads or other processes and wait for the messages to arrive.
#pragma once

#include "Window.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

struct PostedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const PostedMessage&) const = default;
};

class RecordingWindowSink : public WindowMessageSink {
public:
    void PostToWindow(UINT message, WPARAM wParam, LPARAM lParam) override {
        std::lock_guard lock(m_mutex);
        m_messages.push_back({message, wParam, lParam});
        m_arrived.notify_all();
    }

    // The messages so far, once `count` have arrived or the generous bound has passed.
    std::vector<PostedMessage> WaitFor(std::size_t count,
                                       std::chrono::milliseconds bound = std::chrono::seconds(10)) {
        std::unique_lock lock(m_mutex);
        m_arrived.wait_for(lock, bound, [&] { return m_messages.size() >= count; });
        return m_messages;
    }

    std::vector<PostedMessage> Messages() {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<PostedMessage> m_messages;
};
