// The path of the running program, as GetModuleFileNameA gives it on Windows.
#pragma once

#include "Win32Types.h"

#include <string>

using HMODULE = void*;

// Copies the resolved path of the running executable (/proc/self/exe) with its terminating zero
// into `fileName` (room for `size` characters, the zero included). Returns the path's length; on
// a buffer that is too small, the path cut to size - 1 characters and `size`; 0 on failure. The
// module handle is not used: there is only the program itself.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

// The program's path through a buffer of 1024 characters, as the program's start-up and its Run
// entry read it; empty when it cannot be had.
std::string ProgramPath();
