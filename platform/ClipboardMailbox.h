// The file that holds one clipboard format's block: a mark, the block's size, then its bytes.
#pragma once

#include "GlobalMemory.h"

#include <string>

// A new block with the contents of the mailbox file at `path`; NULL when there is none, or when
// the file is not a regular file of this user in the mailbox form, or is larger than allowed.
HGLOBAL ReadMailbox(const std::string& path);
// Writes the block to `path` atomically with mode 0600; false when that fails.
bool WriteMailbox(const std::string& path, HGLOBAL block);
