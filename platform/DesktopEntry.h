// Desktop entry files (the freedesktop.org Desktop Entry format) for the program's launchers:
// written whole to a temporary file and renamed into place, so a reader never sees half a file.
#pragma once

#include <string>
#include <string_view>

struct DesktopEntry {
    std::string name;
    std::string comment;
    // A complete command line: the program quoted with QuoteExecArgument, then its arguments
    // and field codes such as %f.
    std::string exec;
    std::string icon;
    // A list such as "audio/mpeg;", or empty for none.
    std::string mimeTypes;
    // Hidden from the menus (an entry only for file managers or for log-on).
    bool noDisplay = false;
    // Marks an entry of the autostart folder as enabled (X-GNOME-Autostart-enabled).
    bool autostartEnabled = false;
};

// One argument of an Exec line: quoted when it holds a reserved character, with '"', '`', '$'
// and '\' escaped inside the quotes, and '%' doubled so it is never taken for a field code.
std::string QuoteExecArgument(std::string_view argument);

// The text of the file, with every value escaped as the format's strings require.
std::string FormatDesktopEntry(const DesktopEntry& entry);

// Writes the entry to `path` (creating its folder), replacing any file there in one step.
// FALSE when it could not be written; then nothing at `path` has changed.
bool WriteDesktopEntry(const std::string& path, const DesktopEntry& entry);

// Removes the entry; TRUE also when there was none.
bool RemoveDesktopEntry(const std::string& path);
