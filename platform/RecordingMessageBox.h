// A message-box service that keeps every message it is shown, for tests. It can hold each box
// "open" until the test releases it, to observe what the caller does while a box is up.
#pragma once

#include "MessageBox.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

class RecordingMessageBoxService : public MessageBoxService {
public:
    struct Message {
        std::string text;
        UINT type;
        std::string subject;
    };

    // With `holdOpen`, Show blocks until Release is called; otherwise it returns at once.
    explicit RecordingMessageBoxService(bool holdOpen = false);

    int Show(const std::string& text, UINT type, const std::string& subject) override;

    std::vector<Message> Messages() const;
    // Waits until at least `count` messages have been shown; false when `timeout` passed first.
    bool WaitForMessages(std::size_t count, std::chrono::milliseconds timeout) const;
    // Dismisses every box that is up and every later one.
    void Release();

private:
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::vector<Message> m_messages;
    bool m_holdOpen;
};
