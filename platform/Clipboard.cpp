// The clipboard's open state and the blocks it owns while open.
#include "Clipboard.h"

#include "ClipboardMailbox.h"
#include "FileLock.h"
#include "RuntimeFolder.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

namespace {

struct OpenClipboardState {
    std::unique_ptr<FileLock> lock;   // held while the clipboard is open
    std::vector<HGLOBAL> ownedBlocks; // handed out by Get or taken over by Set; freed at close
};

std::mutex g_clipboardMutex;
OpenClipboardState g_clipboard; // guarded by g_clipboardMutex

std::string MailboxPath(UINT format) {
    char name[32];
    std::snprintf(name, sizeof name, "clipboard-%04X.block", format);
    return RuntimePath(name);
}

bool IsOpen() {
    return g_clipboard.lock != nullptr;
}

bool IsFormat(UINT format) {
    return format != 0 && format <= 0xFFFF;
}

} // namespace

BOOL OpenClipboard(HWND /*owner*/) {
    std::lock_guard guard(g_clipboardMutex);
    if (IsOpen())
        return FALSE;
    auto lock = std::make_unique<FileLock>(RuntimePath("clipboard.lock"), FileLock::Wait::DontBlock);
    if (!lock->IsLocked())
        return FALSE;
    g_clipboard.lock = std::move(lock);
    return TRUE;
}

BOOL CloseClipboard() {
    std::lock_guard guard(g_clipboardMutex);
    if (!IsOpen())
        return FALSE;
    for (HGLOBAL block : g_clipboard.ownedBlocks)
        GlobalFree(block);
    g_clipboard.ownedBlocks.clear();
    g_clipboard.lock.reset();
    return TRUE;
}

HGLOBAL GetClipboardData(UINT format) {
    std::lock_guard guard(g_clipboardMutex);
    if (!IsOpen() || !IsFormat(format))
        return nullptr;
    HGLOBAL block = ReadMailbox(MailboxPath(format));
    if (block != nullptr)
        g_clipboard.ownedBlocks.push_back(block);
    return block;
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL block) {
    std::lock_guard guard(g_clipboardMutex);
    if (!IsOpen() || !IsFormat(format))
        return nullptr;
    std::string path = MailboxPath(format);
    if (block == nullptr) {
        std::remove(path.c_str());
        return nullptr;
    }
    if (GlobalSize(block) > kMaxClipboardBlockSize || !WriteMailbox(path, block))
        return nullptr;
    g_clipboard.ownedBlocks.push_back(block);
    return block;
}
