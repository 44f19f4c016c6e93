// The program's place in the desktop: the "Make WAV File..." verb for MP3 files (in the registry's
// file classes and as a desktop entry that file managers offer for audio/mpeg).
#pragma once

#include <string>

// The verb key under HKEY_CLASSES_ROOT: the MP3 file class (the default value of ".mp3", or
// ".mp3" itself) followed by "\Shell\Larkspur".
std::string ShellVerbKey();

// Writes the verb for the program at `programPath`: the registry keys and the desktop entry.
void RegisterShellVerb(const std::string& programPath);
// Removes the verb under the current MP3 file class, and its desktop entry.
void UnregisterShellVerb();

// The desktop entry of the verb, in $XDG_DATA_HOME/applications.
std::string ShellVerbDesktopEntryPath();
