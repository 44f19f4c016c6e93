#include "RegistryStores.h"

#include "XdgFolders.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <set>
#include <sqlite3.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr const char* kDefaultSystemRegistry = "/etc/larkspur/registry.sqlite3";
// The files SQLite keeps beside a database; they belong to that file and move with it.
constexpr const char* kCompanionSuffixes[] = {"-journal", "-wal", "-shm"};

// The connection of one store, kept while the same file stands at the same path in the same
// process. Only the connection is kept: every call reads the file afresh.
struct OpenStoreFile {
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    pid_t owner = 0;
    bool writable = false;
    std::unique_ptr<RegistryDatabase> database;
};

std::mutex g_mutex;
OpenStoreFile g_openStores[2];
// Stands in for a file that is missing or that cannot be read and cannot be replaced.
std::unique_ptr<RegistryDatabase> g_emptyStore;
pid_t g_emptyStoreOwner = 0;
// Files already reported as unreadable and unreplaceable, by device and inode.
std::set<std::pair<dev_t, ino_t>> g_reportedFiles;

void Release(std::unique_ptr<RegistryDatabase>& database, pid_t owner) {
    if (database != nullptr && owner != getpid()) {
        database->Abandon();
    }
    database.reset();
}

LONG ErrnoToWin32(int error) {
    return error == EACCES || error == EPERM || error == EROFS ? ERROR_ACCESS_DENIED : ERROR_WRITE_FAULT;
}

bool CanWriteFolderOf(const std::filesystem::path& file) {
    // The nearest folder that exists decides: everything below it would be made by us.
    std::filesystem::path folder = file.parent_path();
    while (!folder.empty() && ::access(folder.c_str(), F_OK) != 0 && folder != folder.root_path()) {
        folder = folder.parent_path();
    }
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0;
}

bool CanWrite(const std::filesystem::path& file) {
    // The journal is made beside the file, so its folder must be writable too.
    return ::access(file.c_str(), W_OK) == 0 && CanWriteFolderOf(file);
}

LONG MakeFolders(const std::filesystem::path& folder, mode_t mode) {
    if (folder.empty() || ::access(folder.c_str(), F_OK) == 0) {
        return ERROR_SUCCESS;
    }
    if (const LONG parent = MakeFolders(folder.parent_path(), mode); parent != ERROR_SUCCESS) {
        return parent;
    }
    if (::mkdir(folder.c_str(), mode) != 0 && errno != EEXIST) {
        return ErrnoToWin32(errno);
    }
    return ERROR_SUCCESS;
}

std::unique_ptr<RegistryDatabase> OpenConnection(const std::string& path, int flags) {
    sqlite3* connection = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &connection, flags, nullptr);
    auto database = std::make_unique<RegistryDatabase>(connection);
    if (rc != SQLITE_OK) {
        return nullptr;
    }
    return database;
}

struct Acquired {
    RegistryDatabase* database = nullptr;
    bool writable = false;
    LONG error = ERROR_SUCCESS;
};

// An in-memory database with the schema and nothing in it, never written.
Acquired EmptyStore(bool writable) {
    if (g_emptyStore == nullptr || g_emptyStoreOwner != getpid()) {
        Release(g_emptyStore, g_emptyStoreOwner);
        g_emptyStore = OpenConnection(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        g_emptyStoreOwner = getpid();
        if (g_emptyStore != nullptr && g_emptyStore->CreateSchema(false) != ERROR_SUCCESS) {
            g_emptyStore.reset();
        }
    }
    if (g_emptyStore == nullptr) {
        return {nullptr, false, ERROR_NOT_ENOUGH_MEMORY};
    }
    return {g_emptyStore.get(), writable, ERROR_SUCCESS};
}

// Makes a new database under a temporary name and links it into place, so that no other
// process ever sees a half-made file at `path`. When another process got there first, its file
// stands and ours is dropped.
LONG CreateStoreFile(RegistryStore store, const std::filesystem::path& path) {
    const bool user = store == RegistryStore::User;
    if (const LONG folders = MakeFolders(path.parent_path(), user ? 0700 : 0755); folders != ERROR_SUCCESS) {
        return folders;
    }
    static std::atomic<unsigned> s_counter{0};
    const std::string temporary =
        path.string() + ".new-" + std::to_string(getpid()) + "-" + std::to_string(s_counter.fetch_add(1));
    LONG result = ERROR_WRITE_FAULT;
    if (auto database = OpenConnection(temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) {
        result = database->CreateSchema(user);
    }
    if (result == ERROR_SUCCESS && ::chmod(temporary.c_str(), user ? 0600 : 0644) != 0) {
        result = ErrnoToWin32(errno);
    }
    if (result == ERROR_SUCCESS && ::link(temporary.c_str(), path.c_str()) != 0 && errno != EEXIST) {
        result = ErrnoToWin32(errno);
    }
    ::unlink(temporary.c_str());
    return result;
}

std::string AsideName(const std::filesystem::path& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string aside = path.string() + ".broken-" + stamp;
    for (int n = 2; ::access(aside.c_str(), F_OK) == 0; ++n) {
        aside = path.string() + ".broken-" + stamp + "-" + std::to_string(n);
    }
    return aside;
}

// Called with the file that was found damaged. Under a lock on its folder (so two processes
// never both move files), moves it aside with its companions and makes a new one, unless another
// process has done so already. FALSE when the file has to stay.
bool ReplaceDamagedFile(RegistryStore store, const std::filesystem::path& path, const struct stat& damaged,
                        const std::string& reason) {
    const int folder = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return false;
    }
    ::flock(folder, LOCK_EX);
    bool replaced = true;
    struct stat current {};
    if (::stat(path.c_str(), &current) == 0 && current.st_dev == damaged.st_dev &&
        current.st_ino == damaged.st_ino) {
        const std::string aside = AsideName(path);
        replaced = CanWrite(path) && ::rename(path.c_str(), aside.c_str()) == 0;
        if (replaced) {
            for (const char* suffix : kCompanionSuffixes) {
                ::rename((path.string() + suffix).c_str(), (aside + suffix).c_str());
            }
            std::fprintf(
                stderr,
                "larkspur: the registry %s could not be read (%s); kept it as %s and started a new one\n",
                path.c_str(), reason.c_str(), aside.c_str());
            CreateStoreFile(store, path);
        } else if (g_reportedFiles.emplace(damaged.st_dev, damaged.st_ino).second) {
            std::fprintf(stderr, "larkspur: the registry %s could not be read (%s); going on without it\n",
                         path.c_str(), reason.c_str());
        }
    }
    ::flock(folder, LOCK_UN);
    ::close(folder);
    return replaced;
}

Acquired Acquire(RegistryStore store, StoreUse use, int attemptsLeft) {
    const std::filesystem::path path = RegistryStorePath(store);
    OpenStoreFile& open = g_openStores[static_cast<int>(store)];
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            return {nullptr, false, ErrnoToWin32(errno)};
        }
        const bool writable = CanWriteFolderOf(path);
        if (use == StoreUse::Read) {
            return EmptyStore(writable);
        }
        if (!writable) {
            return {nullptr, false, ERROR_ACCESS_DENIED};
        }
        if (const LONG created = CreateStoreFile(store, path);
            created != ERROR_SUCCESS || attemptsLeft == 0) {
            return {nullptr, false, created != ERROR_SUCCESS ? created : ERROR_WRITE_FAULT};
        }
        return Acquire(store, use, attemptsLeft - 1);
    }

    if (open.database != nullptr && open.path == path.native() && open.device == status.st_dev &&
        open.inode == status.st_ino && open.owner == getpid()) {
        return {open.database.get(), open.writable, ERROR_SUCCESS};
    }
    Release(open.database, open.owner);
    const bool writable = CanWrite(path);
    auto database = OpenConnection(path, writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
    if (database == nullptr) {
        return {nullptr, false, ERROR_ACCESS_DENIED};
    }
    std::string reason;
    const LONG checked = database->CheckSchema(reason);
    if (checked == ERROR_BADDB) {
        database.reset();
        if (attemptsLeft > 0 && ReplaceDamagedFile(store, path, status, reason)) {
            return Acquire(store, use, attemptsLeft - 1);
        }
        return EmptyStore(false);
    }
    if (checked != ERROR_SUCCESS) {
        return {nullptr, false, checked};
    }
    open = {path.native(), status.st_dev, status.st_ino, getpid(), writable, std::move(database)};
    return {open.database.get(), open.writable, ERROR_SUCCESS};
}

// Drops the connection to a file found damaged during an operation and replaces the file.
void RecoverFrom(RegistryStore store) {
    OpenStoreFile& open = g_openStores[static_cast<int>(store)];
    struct stat damaged {};
    damaged.st_dev = open.device;
    damaged.st_ino = open.inode;
    const std::filesystem::path path = open.path;
    Release(open.database, open.owner);
    if (!path.empty()) {
        ReplaceDamagedFile(store, path, damaged, "its contents are damaged");
    }
}

} // namespace

std::filesystem::path RegistryStorePath(RegistryStore store) {
    if (store == RegistryStore::User) {
        return XdgConfigHome() / "larkspur" / "registry.sqlite3";
    }
    const char* system = std::getenv("LARKSPUR_SYSTEM_REGISTRY");
    return system != nullptr && *system != '\0' ? system : kDefaultSystemRegistry;
}

LONG RunOnRegistryStore(RegistryStore store, StoreUse use,
                        const std::function<LONG(RegistryDatabase& database, bool writable)>& operation) {
    const std::lock_guard lock(g_mutex);
    constexpr int kAttempts = 2;
    LONG result = ERROR_BADDB;
    for (int attempt = 0; attempt < kAttempts && result == ERROR_BADDB; ++attempt) {
        const Acquired acquired = Acquire(store, use, kAttempts);
        if (acquired.database == nullptr) {
            return acquired.error;
        }
        if (use == StoreUse::Write && !acquired.writable) {
            return ERROR_ACCESS_DENIED;
        }
        result = operation(*acquired.database, acquired.writable);
        if (result == ERROR_BADDB && acquired.database != g_emptyStore.get()) {
            RecoverFrom(store);
        }
    }
    return result;
}
