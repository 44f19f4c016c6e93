#pragma once

#include "Win32Types.h"

// Creates every missing folder of `path`, from the top down. TRUE unless the last folder that
// could not be created failed for a reason other than that it already exists.
BOOL CreateDirectoryChain(const char* path);
