#pragma once

#include "Win32Types.h"

#include <functional>
#include <string>

// Creates every missing folder of `path`, from the top down. TRUE unless the last folder that
// could not be created failed for a reason other than that it already exists.
BOOL CreateDirectoryChain(const char* path);

// Creates one folder; returns 0 or the errno value of the failure.
using DirectoryMaker = std::function<int(const std::string& folder)>;

// The same walk, creating each folder with `makeDirectory`.
BOOL CreateDirectoryChain(const char* path, const DirectoryMaker& makeDirectory);
