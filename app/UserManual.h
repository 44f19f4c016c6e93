// The manual that installation puts beside the program, opened for F1.
#pragma once

#include <string>

// The installed HTML manual for the program at `programPath`, found relative to it so that an
// installation under any prefix finds its own; empty when none is installed there.
std::string InstalledManual(const std::string& programPath);

// Opens the running program's installed manual in the desktop's viewer; nothing when there is none.
void OpenUserManual();
