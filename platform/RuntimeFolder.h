// The per-user folder that holds the program's window sockets, its clipboard mailbox and its
// locks: $XDG_RUNTIME_DIR/larkspur, or /tmp/larkspur-UID where the desktop sets no runtime folder.
#pragma once

#include <string>

// The folder's path, created with mode 0700 when it is missing. Empty when it cannot be had, or
// when what stands at that path is not a folder owned by this user with no access for anyone
// else: another user could then read or plant our sockets and mailbox files.
std::string RuntimeFolder();

// `name` inside the runtime folder; empty when there is no runtime folder.
std::string RuntimePath(const std::string& name);
