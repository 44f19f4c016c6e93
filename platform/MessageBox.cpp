#include "MessageBox.h"

#include "ConsoleMessageBox.h"

#include <condition_variable>
#include <mutex>

namespace {

// The installed service and the number of calls that are inside its Show: a service is never
// destroyed under a thread that has just picked it up.
std::mutex g_lock;
std::condition_variable g_callsEnded;
MessageBoxService* g_service = nullptr;
int g_callsInProgress = 0;

} // namespace

void SetMessageBoxService(MessageBoxService* service) {
    std::unique_lock guard(g_lock);
    g_service = service;
    g_callsEnded.wait(guard, [] { return g_callsInProgress == 0; });
}

int AfxMessageBox(const std::string& text, UINT type, const std::string& subject) {
    MessageBoxService* service = nullptr;
    {
        std::lock_guard guard(g_lock);
        service = g_service;
        if (service != nullptr) {
            ++g_callsInProgress;
        }
    }
    if (service == nullptr) {
        static ConsoleMessageBoxService console;
        return console.Show(text, type, subject);
    }
    int result = IDOK;
    try {
        result = service->Show(text, type, subject);
    } catch (...) {
        // The count must go down whatever the service does.
    }
    {
        std::lock_guard guard(g_lock);
        --g_callsInProgress;
    }
    g_callsEnded.notify_all();
    return result;
}
