// The five user settings, stored per user in the registry, with the start-up entry that
// saving them creates or removes. Qt-free: the headless converter uses them too.
#pragma once

#include "Win32Types.h"

#include <string>

class AppSettings {
public:
    AppSettings() = default;

    // Reads the stored values; a value that is missing, too long or of the wrong type keeps
    // its field as it was.
    void LoadSettings();
    // Stores the five values, then writes or removes the start-up entry after RunAtStartup.
    void SaveSettings();
    // The thread priority for Priority: -2 (lowest) to 2 (highest); 0 for any other value.
    int MapPriority() const;

    int iWavLoc = 0;
    std::string sWavLoc;
    BOOL RunAtStartup = TRUE;
    BOOL Async = TRUE;
    int Priority = 2;
};

// Removes the start-up entry: the Run value per user and machine-wide (where the user may write
// there) and the autostart entry.
void RemoveStartupEntry();
