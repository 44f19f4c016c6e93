#include "AppSettings.h"

#include "AutostartEntry.h"
#include "DesktopEntry.h"
#include "Registry.h"
#include "ScopedXdgEnvironment.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <ostream>
#include <string>

namespace {

constexpr const char* kSettingsKey = "Software\\Larkspur\\Larkspur";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class AppSettingsTest : public testing::Test {
protected:
    static void Store(HKEY root, const char* path, const char* name, DWORD type, const std::string& data) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                                 static_cast<DWORD>(data.size() + 1)),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // The stored text, or "<missing>".
    static std::string Stored(HKEY root, const char* path, const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return "<missing>";
        }
        std::string data(4096, '\0');
        DWORD size = static_cast<DWORD>(data.size());
        const LONG result =
            RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(data.data()), &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? std::string(data.c_str()) : "<missing>";
    }
    static bool KeyExists(HKEY root, const char* path) {
        HKEY key = nullptr;
        const bool exists = RegOpenKeyExA(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
        RegCloseKey(key);
        return exists;
    }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    ScopedXdgEnvironment environment_;
};

TEST_F(AppSettingsTest, FirstLoadCreatesTheEmptyKeyAndKeepsTheDefaults) {
    AppSettings settings;
    settings.LoadSettings();
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_EQ(settings.iWavLoc, 0);
    EXPECT_EQ(settings.sWavLoc, "");
    EXPECT_EQ(settings.RunAtStartup, TRUE);
    EXPECT_EQ(settings.Async, TRUE);
    EXPECT_EQ(settings.Priority, 2);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRunKey, "Larkspur"), "<missing>");
    EXPECT_FALSE(std::filesystem::exists(AutostartEntryPath()));
}

TEST_F(AppSettingsTest, SavedValuesLoadBackAndNegativeNumbersTravelAsUnsigned) {
    AppSettings saved;
    saved.iWavLoc = -1;
    saved.sWavLoc = "/home/user/Wav";
    saved.RunAtStartup = FALSE;
    saved.Async = FALSE;
    saved.Priority = 4;
    saved.SaveSettings();
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kSettingsKey, "iWavLoc"), "4294967295");

    AppSettings loaded;
    loaded.LoadSettings();
    EXPECT_EQ(loaded.iWavLoc, -1);
    EXPECT_EQ(loaded.sWavLoc, "/home/user/Wav");
    EXPECT_EQ(loaded.RunAtStartup, FALSE);
    EXPECT_EQ(loaded.Async, FALSE);
    EXPECT_EQ(loaded.Priority, 4);
}

struct PriorityCase {
    const char* stored;
    int priority;
    int threadPriority;
};

void PrintTo(const PriorityCase& c, std::ostream* out) {
    *out << "Priority \"" << c.stored << '"';
}

class AppSettingsPriority : public AppSettingsTest, public testing::WithParamInterface<PriorityCase> {};

TEST_P(AppSettingsPriority, MapsStoredPriorityToAThreadPriority) {
    Store(HKEY_CURRENT_USER, kSettingsKey, "Priority", REG_SZ, GetParam().stored);
    AppSettings settings;
    settings.LoadSettings();
    EXPECT_EQ(settings.Priority, GetParam().priority);
    EXPECT_EQ(settings.MapPriority(), GetParam().threadPriority);
}

INSTANTIATE_TEST_SUITE_P(Values, AppSettingsPriority,
                         testing::Values(PriorityCase{"0", 0, -2}, PriorityCase{"1", 1, -1},
                                         PriorityCase{"2", 2, 0}, PriorityCase{"3", 3, 1},
                                         PriorityCase{"4", 4, 2}, PriorityCase{"5", 5, 0},
                                         PriorityCase{"7", 7, 0}, PriorityCase{"4294967295", -1, 0}));

TEST_F(AppSettingsTest, ValuesOfTheWrongTypeAreLeftOrUsedOnceAsTheSettingSays) {
    const DWORD zero = 0;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Async", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero),
              ERROR_SUCCESS);
    RegCloseKey(key);
    Store(HKEY_CURRENT_USER, kSettingsKey, "sWavLoc", REG_EXPAND_SZ, "/expand/me");

    AppSettings settings;
    settings.LoadSettings();
    EXPECT_EQ(settings.Async, TRUE) << "a REG_DWORD is not read";
    EXPECT_EQ(settings.sWavLoc, "/expand/me") << "a REG_EXPAND_SZ folder is used once";
    DWORD size = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "Async", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "sWavLoc", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);

    settings.LoadSettings();
    EXPECT_EQ(settings.sWavLoc, "/expand/me") << "once removed, the field keeps the last value loaded";
}

TEST_F(AppSettingsTest, LongFoldersSurviveTheNextStartUpToWhatASaveStores) {
    AppSettings saved;
    saved.iWavLoc = 1;
    saved.sWavLoc = "/" + std::string(599, 'f');
    saved.SaveSettings();
    AppSettings restarted;
    restarted.LoadSettings();
    EXPECT_EQ(restarted.sWavLoc, saved.sWavLoc);

    saved.sWavLoc = "/" + std::string(1999, 'g');
    saved.SaveSettings();
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kSettingsKey, "sWavLoc").size(), 1023U);
    restarted.LoadSettings();
    EXPECT_EQ(restarted.sWavLoc, saved.sWavLoc.substr(0, 1023));
}

TEST_F(AppSettingsTest, AnEditOfTheStoreTakesEffectWithTheNextLoad) {
    AppSettings settings;
    settings.LoadSettings();
    Store(HKEY_CURRENT_USER, kSettingsKey, "iWavLoc", REG_SZ, "1");
    Store(HKEY_CURRENT_USER, kSettingsKey, "sWavLoc", REG_SZ, "/edited");
    settings.LoadSettings();
    EXPECT_EQ(settings.iWavLoc, 1);
    EXPECT_EQ(settings.sWavLoc, "/edited");
}

TEST_F(AppSettingsTest, AStoreThatCannotBeMadeChangesNoField) {
    environment_.Set("XDG_CONFIG_HOME", "/dev/null/config");
    AppSettings settings;
    settings.iWavLoc = 3;
    settings.Priority = 9;
    settings.LoadSettings();
    EXPECT_EQ(settings.iWavLoc, 3);
    EXPECT_EQ(settings.Priority, 9);
}

TEST_F(AppSettingsTest, RunAtStartupWritesAndRemovesTheRunValueAndTheAutostartEntry) {
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    Store(HKEY_LOCAL_MACHINE, kRunKey, "Larkspur", REG_SZ, "/old/place -startup");

    AppSettings settings;
    settings.RunAtStartup = TRUE;
    settings.SaveSettings();
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRunKey, "Larkspur"), program + " -startup");
    const std::string entry = ReadFile(AutostartEntryPath());
    EXPECT_NE(entry.find("\nExec=" + QuoteExecArgument(program) + " -startup\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nX-GNOME-Autostart-enabled=true\n"), std::string::npos) << entry;
    EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, kRunKey, "Larkspur"), "/old/place -startup")
        << "written per user only";

    settings.RunAtStartup = FALSE;
    settings.SaveSettings();
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRunKey, "Larkspur"), "<missing>");
    EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, kRunKey, "Larkspur"), "<missing>");
    EXPECT_FALSE(std::filesystem::exists(AutostartEntryPath()));
    settings.SaveSettings(); // nothing left to remove is no failure
    EXPECT_FALSE(std::filesystem::exists(AutostartEntryPath()));
}

} // namespace
