// The registry's databases: the system store's access check, several processes at once, a
// killed writer, damaged files.
#include "Registry.h"
#include "ScopedXdgEnvironment.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

LONG SetText(HKEY root, const char* path, const char* name, const std::string& text) {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) {
        result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }
    return result;
}

LONG QueryText(HKEY root, const char* path, const char* name, std::string& text) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(root, path, 0, KEY_READ, &key);
    if (result == ERROR_SUCCESS) {
        char buffer[256] = {};
        DWORD size = sizeof buffer - 1;
        result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size);
        text = buffer;
        RegCloseKey(key);
    }
    return result;
}

DWORD CountValues(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return 0;
    }
    DWORD count = 0;
    char name[64];
    DWORD nameSize = sizeof name;
    while (RegEnumValueA(key, count, name, &nameSize, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        ++count;
        nameSize = sizeof name;
    }
    RegCloseKey(key);
    return count;
}

// Runs `body` in a child process and returns its exit status.
template <typename Body>
int InChild(Body body) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<fs::path> SetAsideFiles(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("registry.sqlite3.broken-") &&
            !entry.path().string().ends_with("-journal")) {
            found.push_back(entry.path());
        }
    }
    return found;
}

TEST(RegistryStore, SystemStoreIsReadOnlyForAUserWhoMayNotWriteIt) {
    ScopedXdgEnvironment environment;
    ASSERT_EQ(SetText(HKEY_LOCAL_MACHINE, "Software\\Test", "v", "machine"), ERROR_SUCCESS);
    fs::permissions(environment.Root(), fs::perms(0755));
    fs::permissions(environment.SystemRegistry().parent_path(), fs::perms(0555));
    fs::permissions(environment.SystemRegistry(), fs::perms(0444));

    // Root may write anything, so the check runs as nobody where the test runs as root.
    const int status = InChild([] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            return 10;
        }
        std::string text;
        if (QueryText(HKEY_LOCAL_MACHINE, "software\\test", "v", text) != ERROR_SUCCESS ||
            text != "machine") {
            return 11;
        }
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Test", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                            nullptr, &key, nullptr) != ERROR_ACCESS_DENIED) {
            return 12;
        }
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Test", 0, KEY_WRITE, &key) != ERROR_ACCESS_DENIED) {
            return 13;
        }
        if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Test") != ERROR_ACCESS_DENIED ||
            RegSetValueExA(HKEY_LOCAL_MACHINE, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1) !=
                ERROR_ACCESS_DENIED) {
            return 14;
        }
        return 0;
    });
    fs::permissions(environment.SystemRegistry().parent_path(), fs::perms(0755));
    EXPECT_EQ(status, 0);
}

TEST(RegistryStore, MissingStoresReadAsEmptyWithoutBeingCreated) {
    ScopedXdgEnvironment environment;
    std::string text;
    EXPECT_EQ(QueryText(HKEY_LOCAL_MACHINE, "Software", "v", text), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(QueryText(HKEY_CURRENT_USER, "Software", "v", text), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists(environment.SystemRegistry()));
    EXPECT_FALSE(fs::exists(environment.UserRegistry()));
    ASSERT_EQ(SetText(HKEY_CURRENT_USER, "Software", "v", "x"), ERROR_SUCCESS);
    EXPECT_EQ(fs::status(environment.UserRegistry()).permissions(), fs::perms(0600));
}

TEST(RegistryStore, ChangesByAnotherProcessAreSeenByTheNextCall) {
    ScopedXdgEnvironment environment;
    ASSERT_EQ(SetText(HKEY_CURRENT_USER, "Shared", "v", "before"), ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Shared", 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_EQ(
        InChild([] { return SetText(HKEY_CURRENT_USER, "Shared", "v", "after") == ERROR_SUCCESS ? 0 : 1; }),
        0);
    char buffer[16] = {};
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "after");
    RegCloseKey(key);
}

TEST(RegistryStore, ProcessesWritingAtOnceLoseNoWrite) {
    ScopedXdgEnvironment environment;
    constexpr int kProcesses = 4;
    constexpr int kWrites = 40;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = fork();
        if (child == 0) {
            int failures = 0;
            for (int w = 0; w < kWrites; ++w) {
                const std::string name = "p" + std::to_string(p) + "w" + std::to_string(w);
                const std::string subKey = "Many\\p" + std::to_string(p);
                failures += SetText(HKEY_CURRENT_USER, "Many", name.c_str(), name) != ERROR_SUCCESS;
                failures += SetText(HKEY_CURRENT_USER, subKey.c_str(), name.c_str(), name) != ERROR_SUCCESS;
            }
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(CountValues(HKEY_CURRENT_USER, "Many"), DWORD{kProcesses * kWrites});
    for (int p = 0; p < kProcesses; ++p) {
        EXPECT_EQ(CountValues(HKEY_CURRENT_USER, ("Many\\p" + std::to_string(p)).c_str()), DWORD{kWrites});
    }
}

TEST(RegistryStore, AWriterKilledMidWayLosesAtMostTheWriteInProgress) {
    ScopedXdgEnvironment environment;
    ASSERT_EQ(SetText(HKEY_CURRENT_USER, "Killed", "start", "x"), ERROR_SUCCESS);
    const pid_t child = fork();
    if (child == 0) {
        for (int i = 0;; ++i) {
            SetText(HKEY_CURRENT_USER, "Killed", ("n" + std::to_string(i)).c_str(), std::string(200, 'd'));
        }
    }
    std::string text;
    for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         QueryText(HKEY_CURRENT_USER, "Killed", "n30", text) != ERROR_SUCCESS &&
         std::chrono::steady_clock::now() < deadline;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    // Every write that completed is there, in order, and the file is sound.
    const DWORD count = CountValues(HKEY_CURRENT_USER, "Killed");
    EXPECT_GE(count, 30U);
    for (DWORD i = 0; i + 1 < count; ++i) {
        ASSERT_EQ(QueryText(HKEY_CURRENT_USER, "Killed", ("n" + std::to_string(i)).c_str(), text),
                  ERROR_SUCCESS);
        EXPECT_EQ(text.size(), 200U);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(environment.UserRegistry().c_str(), &db, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
}

// Writes a database that a newer version of the program could have left.
void WriteNewerSchema(const fs::path& path) {
    const fs::path made = path.string() + ".made";
    sqlite3* db = nullptr;
    sqlite3_open(made.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE keys2 (x); PRAGMA application_id = 1280004679; PRAGMA user_version = 2;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    fs::rename(made, path);
}

struct DamagedCase {
    const char* label;
    void (*make)(const fs::path& path);
    const char* reason;
};

class RegistryDamagedStore : public testing::TestWithParam<DamagedCase> {};

TEST_P(RegistryDamagedStore, IsKeptAsideAndReplacedSayingSoOnce) {
    ScopedXdgEnvironment environment;
    const fs::path file = environment.UserRegistry();
    fs::create_directories(file.parent_path());
    GetParam().make(file);
    const std::string original = ReadFile(file);

    testing::internal::CaptureStderr();
    std::string text;
    EXPECT_EQ(QueryText(HKEY_CURRENT_USER, "Software", "v", text), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(SetText(HKEY_CURRENT_USER, "Software", "v", "fresh"), ERROR_SUCCESS);
    EXPECT_EQ(QueryText(HKEY_CURRENT_USER, "Software", "v", text), ERROR_SUCCESS);
    const std::string messages = testing::internal::GetCapturedStderr();

    EXPECT_EQ(text, "fresh");
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 1) << messages;
    EXPECT_NE(messages.find(GetParam().reason), std::string::npos) << messages;
    const std::vector<fs::path> aside = SetAsideFiles(file.parent_path());
    ASSERT_EQ(aside.size(), 1U);
    EXPECT_NE(messages.find(aside[0].string()), std::string::npos) << messages;
    EXPECT_EQ(ReadFile(aside[0]), original);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RegistryDamagedStore,
    testing::Values(
        DamagedCase{"Garbage", [](const fs::path& path) { std::ofstream(path) << std::string(3000, 'g'); },
                    "not a database"},
        DamagedCase{"Empty", [](const fs::path& path) { std::ofstream{path}; }, "not a registry database"},
        DamagedCase{"NewerSchema", WriteNewerSchema, "newer version"}),
    [](const testing::TestParamInfo<DamagedCase>& param) { return std::string(param.param.label); });

TEST(RegistryStore, DamagedFileFoundDuringAnOperationIsReplaced) {
    ScopedXdgEnvironment environment;
    const fs::path file = environment.UserRegistry();
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(SetText(HKEY_CURRENT_USER, ("Software\\k" + std::to_string(i)).c_str(), "v", "old"),
                  ERROR_SUCCESS);
    }
    // Another party moves everything into the main file and then overwrites all but its first
    // page in place, while this process keeps its connection.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    const auto size = static_cast<std::streamsize>(fs::file_size(file));
    ASSERT_GT(size, 4096);
    std::fstream(file, std::ios::in | std::ios::out | std::ios::binary)
        .seekp(4096)
        .write(std::string(static_cast<std::size_t>(size - 4096), 'z').data(), size - 4096);

    testing::internal::CaptureStderr();
    const LONG result = SetText(HKEY_CURRENT_USER, "Software\\k19", "v", "new");
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, ERROR_SUCCESS);
    std::string text;
    EXPECT_EQ(QueryText(HKEY_CURRENT_USER, "Software\\k19", "v", text), ERROR_SUCCESS);
    EXPECT_EQ(text, "new");
    EXPECT_NE(messages.find("its contents are damaged"), std::string::npos) << messages;
    EXPECT_EQ(SetAsideFiles(file.parent_path()).size(), 1U) << messages;
}

TEST(RegistryStore, AFileRemovedOrReplacedBehindTheProgramIsNotWrittenThroughTheOldConnection) {
    ScopedXdgEnvironment environment;
    const fs::path file = environment.UserRegistry();
    ASSERT_EQ(SetText(HKEY_CURRENT_USER, "Software", "v", "first"), ERROR_SUCCESS);
    fs::remove(file);
    std::string text;
    EXPECT_EQ(QueryText(HKEY_CURRENT_USER, "Software", "v", text), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(SetText(HKEY_CURRENT_USER, "Software", "v", "second"), ERROR_SUCCESS);
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(InChild([] {
                  std::string seen;
                  return QueryText(HKEY_CURRENT_USER, "Software", "v", seen) == ERROR_SUCCESS &&
                                 seen == "second"
                             ? 0
                             : 1;
              }),
              0);
}

} // namespace
