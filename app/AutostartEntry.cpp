#include "AutostartEntry.h"

#include "DesktopEntry.h"
#include "XdgFolders.h"

std::string AutostartEntryPath() {
    return (XdgConfigHome() / "autostart" / "larkspur.desktop").string();
}

bool WriteAutostartEntry(const std::string& programPath) {
    DesktopEntry entry;
    entry.name = "Larkspur";
    entry.comment = "Convert MP3 files into WAV files from the notification area";
    entry.exec = QuoteExecArgument(programPath) + " -startup";
    entry.icon = "larkspur";
    entry.autostartEnabled = true;
    return WriteDesktopEntry(AutostartEntryPath(), entry);
}

bool RemoveAutostartEntry() {
    return RemoveDesktopEntry(AutostartEntryPath());
}
