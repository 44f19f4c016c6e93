#include "ShellIntegration.h"

#include "DesktopEntry.h"
#include "RegistryKey.h"
#include "StringTable.h"
#include "XdgFolders.h"
#include "resource.h"

namespace {

constexpr char kMp3Class[] = ".mp3";
constexpr char kVerbSubKey[] = "\\Shell\\Larkspur";
constexpr char kCommandSubKey[] = "\\Command";
constexpr DWORD kClassNameSize = 512;

void WriteDefaultValue(const std::string& subKey, const std::string& value) {
    CRegistryKey key;
    if (key.Create(HKEY_CLASSES_ROOT, subKey.c_str()))
        key.WriteString("", value.c_str());
    key.Close();
}

} // namespace

std::string ShellVerbKey() {
    char className[kClassNameSize + 1] = {};
    CRegistryKey key;
    if (key.Open(HKEY_CLASSES_ROOT, kMp3Class))
        key.ReadString("", className, kClassNameSize);
    key.Close();
    return std::string(className[0] != '\0' ? className : kMp3Class) + kVerbSubKey;
}

std::string ShellVerbDesktopEntryPath() {
    return (XdgDataHome() / "applications" / "larkspur-make-wav-file.desktop").string();
}

void RegisterShellVerb(const std::string& programPath) {
    std::string verbKey = ShellVerbKey();
    WriteDefaultValue(verbKey, LoadStringResource(IDS_SHELL_VERB));
    WriteDefaultValue(verbKey + kCommandSubKey, "\"" + programPath + "\" \"%1\"");

    DesktopEntry entry;
    entry.name = LoadStringResource(IDS_SHELL_VERB);
    entry.comment = "Convert this MP3 file into a WAV file";
    entry.exec = QuoteExecArgument(programPath) + " %f";
    entry.icon = "larkspur";
    entry.mimeTypes = "audio/mpeg;";
    // Offered for MP3 files only, not as a program of its own in the menus.
    entry.noDisplay = true;
    WriteDesktopEntry(ShellVerbDesktopEntryPath(), entry);
}

void UnregisterShellVerb() {
    CRegistryKey key;
    key.DeleteKeyTree(HKEY_CLASSES_ROOT, ShellVerbKey().c_str());
    key.Close();
    RemoveDesktopEntry(ShellVerbDesktopEntryPath());
}
