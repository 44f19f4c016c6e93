#include "AppSettings.h"

#include "AutostartEntry.h"
#include "ModuleFileName.h"
#include "RegistryKey.h"

#include <string>

namespace {

constexpr char kSettingsKey[] = "SoftWare\\Larkspur\\Larkspur";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Larkspur";
// WriteString stores at most 1023 characters; reading through a buffer of that size plus the
// NUL brings back every folder that a save can store. (A 512-byte read would lose any folder of
// 512 characters or more at the next start, silently sending WAV files beside their MP3 files.)
constexpr DWORD kFolderReadSize = 1024;

} // namespace

void RemoveStartupEntry() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        CRegistryKey key;
        if (key.Create(root, kRunKey)) {
            key.DeleteValue(kRunValue);
            key.Close();
        }
    }
    RemoveAutostartEntry();
}

void AppSettings::LoadSettings() {
    try {
        CRegistryKey key;
        if (!key.Create(HKEY_CURRENT_USER, kSettingsKey)) {
            return;
        }
        key.ReadNumber("iWavLoc", iWavLoc);
        std::string folder(kFolderReadSize + 1, '\0');
        if (key.ReadString("sWavLoc", folder.data(), kFolderReadSize)) {
            sWavLoc = folder.c_str();
        }
        key.ReadNumber("RunAtStartup", RunAtStartup);
        key.ReadNumber("Async", Async);
        key.ReadNumber("Priority", Priority);
        key.Close();
    } catch (...) {
        // Out of memory: the fields read so far stand.
    }
}

void AppSettings::SaveSettings() {
    try {
        CRegistryKey key;
        if (key.Create(HKEY_CURRENT_USER, kSettingsKey)) {
            key.WriteNumber("iWavLoc", static_cast<DWORD>(iWavLoc));
            key.WriteString("sWavLoc", sWavLoc.c_str());
            key.WriteNumber("RunAtStartup", static_cast<DWORD>(RunAtStartup));
            key.WriteNumber("Async", static_cast<DWORD>(Async));
            key.WriteNumber("Priority", static_cast<DWORD>(Priority));
            key.Close();
        }

        // The Run value follows the program's current path at every save; the autostart entry
        // mirrors it for the desktop.
        if (RunAtStartup != 0) {
            const std::string programPath = ProgramPath();
            if (key.Create(HKEY_CURRENT_USER, kRunKey)) {
                key.WriteString(kRunValue, (programPath + " -startup").c_str());
                key.Close();
            }
            WriteAutostartEntry(programPath);
        } else {
            RemoveStartupEntry();
        }
    } catch (...) {
        // Out of memory: the values written so far stand.
    }
}

int AppSettings::MapPriority() const {
    constexpr int kThreadPriorities[] = {-2, -1, 0, 1, 2};
    return Priority >= 0 && Priority < 5 ? kThreadPriorities[Priority] : 0;
}
