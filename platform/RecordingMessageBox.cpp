#include "RecordingMessageBox.h"

RecordingMessageBoxService::RecordingMessageBoxService(bool holdOpen) : m_holdOpen(holdOpen) {}

int RecordingMessageBoxService::Show(const std::string& text, UINT type, const std::string& subject) {
    std::unique_lock guard(m_lock);
    m_messages.push_back({text, type, subject});
    m_changed.notify_all();
    m_changed.wait(guard, [this] { return !m_holdOpen; });
    return IDOK;
}

std::vector<RecordingMessageBoxService::Message> RecordingMessageBoxService::Messages() const {
    std::lock_guard guard(m_lock);
    return m_messages;
}

bool RecordingMessageBoxService::WaitForMessages(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock guard(m_lock);
    return m_changed.wait_for(guard, timeout, [&] { return m_messages.size() >= count; });
}

void RecordingMessageBoxService::Release() {
    std::lock_guard guard(m_lock);
    m_holdOpen = false;
    m_changed.notify_all();
}
