#include "HandOffSender.h"

#include "Clipboard.h"
#include "Thread.h"
#include "resource.h"

#include <cstring>

namespace {

constexpr int kOpenTries = 10;
constexpr unsigned int kRetryWaitMs = 1000;

bool OpenClipboardWithRetries(HWND owner) {
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        SleepEx(kRetryWaitMs, TRUE);
    }
    return false;
}

// The text of a pending block, up to its first zero byte and never past its end.
std::string PendingText(HGLOBAL block) {
    const char* bytes = static_cast<const char*>(GlobalLock(block));
    std::string text;
    if (bytes != nullptr)
        text.assign(bytes, strnlen(bytes, GlobalSize(block)));
    GlobalUnlock(block);
    return text;
}

} // namespace

bool HandOffText(HWND target, const std::string& commandLine) {
    if (commandLine.empty())
        return true;
    if (!OpenClipboardWithRetries(target))
        return false;
    UINT format = RegisterClipboardFormatA(kHandOffFormatName) & 0xFFFF;
    std::string text = commandLine;
    if (HGLOBAL pending = GetClipboardData(format)) {
        std::string earlier = PendingText(pending);
        if (!earlier.empty())
            text = earlier + '|' + commandLine;
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, text.size() + 1);
    char* bytes = static_cast<char*>(GlobalLock(block));
    if (bytes == nullptr) {
        GlobalFree(block);
        CloseClipboard();
        return false;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    bool stored = SetClipboardData(format, block) != nullptr;
    if (!stored)
        GlobalFree(block);
    CloseClipboard();
    return stored && PostMessageA(target, WM_COMMAND, ID_HANDOFF, reinterpret_cast<LPARAM>(block));
}
