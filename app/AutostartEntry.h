// The desktop's counterpart of the Run value: an XDG autostart entry that starts the program
// with -startup when the user logs on.
#pragma once

#include <string>

// $XDG_CONFIG_HOME/autostart/larkspur.desktop
std::string AutostartEntryPath();

// Writes the entry for the program at `programPath`, replacing any earlier one in one step.
bool WriteAutostartEntry(const std::string& programPath);
// Removes the entry; TRUE also when there was none.
bool RemoveAutostartEntry();
