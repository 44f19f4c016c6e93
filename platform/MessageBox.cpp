#include "MessageBox.h"

#include "ConsoleMessageBox.h"

#include <atomic>

namespace {

std::atomic<MessageBoxService*> g_service{nullptr};

} // namespace

void SetMessageBoxService(MessageBoxService* service) {
    g_service.store(service);
}

int AfxMessageBox(const std::string& text, UINT type, const std::string& subject) {
    if (MessageBoxService* service = g_service.load()) {
        return service->Show(text, type, subject);
    }
    static ConsoleMessageBoxService console;
    return console.Show(text, type, subject);
}
