// A private clipboard for the program's copies: one mailbox per registered format in the runtime
// folder, which outlives the process that filled it. The desktop's own clipboard is never touched.
//
// While one thread has the clipboard open (a lock file held with flock), every other thread and
// process fails to open it, as on Windows. A mailbox is a 0600 file, written to a temporary name
// and renamed, so a reader sees either the old block or the new one.
#pragma once

#include "GlobalMemory.h"
#include "Window.h"

#include <cstddef>

// Format numbers 0xC000 to 0xFFFF, the same for a name (compared without regard to case) in
// every process of the user; 0 when the name is empty or cannot be registered.
UINT RegisterClipboardFormatA(LPCSTR formatName);

// Opens the clipboard for this thread; FALSE while anyone has it open, this process included.
BOOL OpenClipboard(HWND owner);
// Closes it; the blocks it handed out or took over while open are freed.
BOOL CloseClipboard();

// The block stored under `format`, valid until the clipboard is closed; NULL when the clipboard
// is not open, nothing is stored, or the mailbox file is not one this program wrote.
HGLOBAL GetClipboardData(UINT format);
// Stores `block` under `format` and takes it over (it is freed when the clipboard closes); with
// NULL, removes what the format held. Other formats stay. Returns `block`, or NULL on failure,
// when the caller keeps the block.
HGLOBAL SetClipboardData(UINT format, HGLOBAL block);

// The largest block a mailbox holds; a larger mailbox file is ignored.
inline constexpr std::size_t kMaxClipboardBlockSize = 64u << 20;
