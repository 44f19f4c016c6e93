// Windows and window messages, between the windows of one process and between copies of the
// program run by the same user.
//
// A window that should be findable by caption gets an entry in the window directory: a Unix
// stream socket in the runtime folder named after the caption. FindWindowA connects to it, and
// PostMessageA sends the three numbers of a message over that connection, in order. Messages to a
// window of this process go straight to its WindowMessageSink.
#pragma once

#include "FileLock.h"
#include "Win32Types.h"

#include <string>

struct WindowHandle;
using HWND = WindowHandle*;

inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_USER = 0x0400;

// The receiving end of a window: takes the messages posted to it. Called from any thread (the
// directory's listener thread among them); an implementation queues the message for the thread
// that owns the window and returns at once.
class WindowMessageSink {
public:
    virtual ~WindowMessageSink() = default;
    virtual void PostToWindow(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Held while a process decides whether it is the first copy: from its FindWindowA to the
// creation of its window entry, so two copies started together never both create one.
// Waits for the lock; IsLocked is false only when there is no runtime folder.
class WindowDirectoryLock {
public:
    WindowDirectoryLock();

    bool IsLocked() const { return m_lock.IsLocked(); }
    void Release() { m_lock.Release(); }

private:
    FileLock m_lock;
};

// Gives the window an entry under `caption` and delivers every message posted to it to `sink`,
// which must outlive the entry. A stale entry of that caption is replaced. NULL when there is no
// runtime folder or the socket cannot be made.
HWND CreateWindowEntry(const std::string& caption, WindowMessageSink& sink);
// Removes the entry; no message reaches the sink once this returns.
void DestroyWindowEntry(HWND window);

// The window with that caption: one of this process, or a connection to another copy's. The
// class name is not used. A socket nobody listens on counts as no window and is removed.
HWND FindWindowA(LPCSTR className, LPCSTR caption);
// TRUE for a window of this process that exists, and for another copy's window while it listens.
BOOL IsWindow(HWND window);
// Queues the message for the window and returns at once; FALSE when it cannot be delivered.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
