#include "Registry.h"

#include "MultiByteText.h"
#include "RegistryStores.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>

// An open key: the store it lives in and its path there. The path is looked up again by every
// call, so a handle never holds anything that another process could have changed.
struct RegistryKeyHandle {
    RegistryStore store;
    // The path of the root this handle was opened below, and the path below that root.
    const char* rootPath;
    std::string path;
    REGSAM access;
    bool predefined;
};

namespace {

// The per-user classes live where Windows keeps them, below the user's Software key.
constinit RegistryKeyHandle g_classesRoot{RegistryStore::User, "Software\\Classes", {}, KEY_ALL_ACCESS, true};
constinit RegistryKeyHandle g_currentUser{RegistryStore::User, "", {}, KEY_ALL_ACCESS, true};
constinit RegistryKeyHandle g_localMachine{RegistryStore::System, "", {}, KEY_ALL_ACCESS, true};

std::mutex g_handlesMutex;
std::unordered_set<HKEY> g_openHandles;

constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

std::string JoinPath(std::string_view parent, std::string_view child) {
    if (parent.empty() || child.empty()) {
        return std::string(parent.empty() ? child : parent);
    }
    std::string joined;
    joined.reserve(parent.size() + 1 + child.size());
    joined.append(parent).append(1, '\\').append(child);
    return joined;
}

// A copy of what a handle names, taken under the lock so the call can go on without it.
struct KeyRef {
    RegistryStore store;
    const char* rootPath;
    std::string path;
    REGSAM access;
    bool predefined;

    std::string StorePath(std::string_view below = {}) const {
        return JoinPath(JoinPath(rootPath, path), below);
    }
};

bool IsPredefined(HKEY key) {
    return key == &g_classesRoot || key == &g_currentUser || key == &g_localMachine;
}

bool Resolve(HKEY key, KeyRef& ref) {
    if (!IsPredefined(key)) {
        const std::lock_guard lock(g_handlesMutex);
        if (g_openHandles.count(key) == 0) {
            return false;
        }
    }
    ref = {key->store, key->rootPath, key->path, key->access, key->predefined};
    return true;
}

HKEY NewHandle(const KeyRef& parent, const std::string& below, REGSAM access) {
    auto* handle =
        new RegistryKeyHandle{parent.store, parent.rootPath, JoinPath(parent.path, below), access, false};
    const std::lock_guard lock(g_handlesMutex);
    g_openHandles.insert(handle);
    return handle;
}

// A sub-key path as the store keeps it: NULL and "" name the key itself, one trailing '\' is
// ignored, and an empty name anywhere else (a leading or doubled '\') is refused. Names are
// split at whole characters, so a double-byte character ending in the byte of '\' stays whole.
LONG NormalizeSubKey(LPCSTR subKey, std::string& normalized) {
    const std::string_view text = subKey != nullptr ? subKey : "";
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t separator = mbtext::FindFirst(text.substr(position), '\\');
        if (separator == std::string_view::npos) {
            break;
        }
        if (separator == 0) {
            return ERROR_BAD_PATHNAME;
        }
        position += separator + 1;
    }
    normalized.assign(text.substr(0, position == text.size() && position > 0 ? position - 1 : text.size()));
    return ERROR_SUCCESS;
}

LONG QueryValue(const KeyRef& key, LPCSTR name, RegistryValue& value) {
    const std::string path = key.StorePath();
    const std::string valueName = name != nullptr ? name : "";
    return RunOnRegistryStore(key.store, StoreUse::Read, [&](RegistryDatabase& database, bool) {
        return database.QueryValue(path, valueName, value);
    });
}

// Hands data to a caller's buffer the Win32 way: with no buffer only the size; a buffer too
// small gives ERROR_MORE_DATA with the size needed and the buffer untouched.
LONG CopyOut(const void* data, std::size_t size, void* buffer, DWORD& bufferSize) {
    const DWORD available = bufferSize;
    bufferSize = static_cast<DWORD>(size);
    if (buffer == nullptr) {
        return ERROR_SUCCESS;
    }
    if (size > available) {
        return ERROR_MORE_DATA;
    }
    if (size != 0) {
        std::memcpy(buffer, data, size);
    }
    return ERROR_SUCCESS;
}

// The key that `hKey` stands for and the normalized path of `subKey` below it.
LONG ResolveSubKey(HKEY hKey, LPCSTR subKey, KeyRef& parent, std::string& below) {
    if (!Resolve(hKey, parent)) {
        return ERROR_INVALID_HANDLE;
    }
    return NormalizeSubKey(subKey, below);
}

// The key that `hKey` stands for, when it may be queried into the given buffer and size.
LONG ResolveForQuery(HKEY hKey, const void* data, const void* size, KeyRef& key) {
    if (!Resolve(hKey, key)) {
        return ERROR_INVALID_HANDLE;
    }
    if ((key.access & KEY_QUERY_VALUE) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    return data != nullptr && size == nullptr ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

} // namespace

const HKEY HKEY_CLASSES_ROOT = &g_classesRoot;
const HKEY HKEY_CURRENT_USER = &g_currentUser;
const HKEY HKEY_LOCAL_MACHINE = &g_localMachine;

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    if (phkResult == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *phkResult = nullptr;
    KeyRef parent;
    std::string below;
    if (const LONG resolved = ResolveSubKey(hKey, lpSubKey, parent, below); resolved != ERROR_SUCCESS) {
        return resolved;
    }
    const std::string path = parent.StorePath(below);
    // A root always exists, even before its key has been stored.
    const bool root = parent.predefined && below.empty();
    const LONG result =
        RunOnRegistryStore(parent.store, StoreUse::Read, [&](RegistryDatabase& database, bool writable) {
            const LONG exists = root ? ERROR_SUCCESS : database.KeyExists(path);
            if (exists == ERROR_SUCCESS && (samDesired & kWriteRights) != 0 && !writable) {
                return ERROR_ACCESS_DENIED;
            }
            return exists;
        });
    if (result == ERROR_SUCCESS) {
        *phkResult = NewHandle(parent, below, samDesired);
    }
    return result;
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                     const SECURITY_ATTRIBUTES*, PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (phkResult == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *phkResult = nullptr;
    KeyRef parent;
    std::string below;
    if (const LONG resolved = ResolveSubKey(hKey, lpSubKey, parent, below); resolved != ERROR_SUCCESS) {
        return resolved;
    }
    const std::string path = parent.StorePath(below);
    const bool wantsWrite = (samDesired & kWriteRights) != 0;
    bool created = false;
    LONG result =
        RunOnRegistryStore(parent.store, StoreUse::Read, [&](RegistryDatabase& database, bool writable) {
            const LONG exists = database.KeyExists(path);
            return exists == ERROR_SUCCESS && wantsWrite && !writable ? ERROR_ACCESS_DENIED : exists;
        });
    if (result == ERROR_FILE_NOT_FOUND) {
        if ((parent.access & KEY_CREATE_SUB_KEY) == 0) {
            return ERROR_ACCESS_DENIED;
        }
        result = RunOnRegistryStore(parent.store, StoreUse::Write, [&](RegistryDatabase& database, bool) {
            return database.CreateKey(path, created);
        });
    }
    if (result != ERROR_SUCCESS) {
        return result;
    }
    if (lpdwDisposition != nullptr) {
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    *phkResult = NewHandle(parent, below, samDesired);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
    KeyRef key;
    if (const LONG usable = ResolveForQuery(hKey, lpData, lpcbData, key); usable != ERROR_SUCCESS) {
        return usable;
    }
    RegistryValue value;
    if (const LONG queried = QueryValue(key, lpValueName, value); queried != ERROR_SUCCESS) {
        return queried;
    }
    if (lpType != nullptr) {
        *lpType = value.type;
    }
    return lpcbData != nullptr ? CopyOut(value.data.data(), value.data.size(), lpData, *lpcbData)
                               : ERROR_SUCCESS;
}

LONG RegQueryValueA(HKEY hKey, LPCSTR lpSubKey, LPSTR lpData, PLONG lpcbData) {
    if (lpSubKey != nullptr && *lpSubKey != '\0') {
        HKEY subKey = nullptr;
        const LONG opened = RegOpenKeyExA(hKey, lpSubKey, 0, KEY_QUERY_VALUE, &subKey);
        if (opened != ERROR_SUCCESS) {
            return opened;
        }
        const LONG result = RegQueryValueA(subKey, nullptr, lpData, lpcbData);
        RegCloseKey(subKey);
        return result;
    }
    KeyRef key;
    if (const LONG usable = ResolveForQuery(hKey, lpData, lpcbData, key); usable != ERROR_SUCCESS) {
        return usable;
    }
    RegistryValue value;
    const LONG queried = QueryValue(key, nullptr, value);
    if (queried != ERROR_SUCCESS && queried != ERROR_FILE_NOT_FOUND) {
        return queried;
    }
    if (queried == ERROR_SUCCESS && value.type != REG_SZ && value.type != REG_EXPAND_SZ) {
        return ERROR_INVALID_DATA;
    }
    // The default value as text, terminated; a key without one reads as "".
    std::string text(value.data.begin(), std::find(value.data.begin(), value.data.end(), BYTE{0}));
    if (lpcbData == nullptr) {
        return ERROR_SUCCESS;
    }
    DWORD size = static_cast<DWORD>(std::max<LONG>(*lpcbData, 0));
    const LONG copied = CopyOut(text.c_str(), text.size() + 1, lpData, size);
    *lpcbData = static_cast<LONG>(size);
    return copied;
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
    KeyRef key;
    if (!Resolve(hKey, key)) {
        return ERROR_INVALID_HANDLE;
    }
    if ((key.access & KEY_SET_VALUE) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    if (lpData == nullptr && cbData != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::string path = key.StorePath();
    const std::string name = lpValueName != nullptr ? lpValueName : "";
    return RunOnRegistryStore(key.store, StoreUse::Write, [&](RegistryDatabase& database, bool) {
        // A root always exists, even where its key has not been stored yet.
        bool created = false;
        const LONG root = key.predefined ? database.CreateKey(path, created) : ERROR_SUCCESS;
        return root != ERROR_SUCCESS ? root : database.SetValue(path, name, dwType, lpData, cbData);
    });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    KeyRef key;
    if (!Resolve(hKey, key)) {
        return ERROR_INVALID_HANDLE;
    }
    if ((key.access & KEY_SET_VALUE) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    const std::string path = key.StorePath();
    const std::string name = lpValueName != nullptr ? lpValueName : "";
    return RunOnRegistryStore(key.store, StoreUse::Write, [&](RegistryDatabase& database, bool) {
        return database.DeleteValue(path, name);
    });
}

namespace {

template <typename Deletion>
LONG DeleteBelow(HKEY hKey, LPCSTR lpSubKey, Deletion deletion) {
    KeyRef parent;
    std::string below;
    if (const LONG resolved = ResolveSubKey(hKey, lpSubKey, parent, below); resolved != ERROR_SUCCESS) {
        return resolved;
    }
    if (below.empty() && parent.predefined) {
        return ERROR_ACCESS_DENIED;
    }
    const std::string path = parent.StorePath(below);
    return RunOnRegistryStore(parent.store, StoreUse::Write,
                              [&](RegistryDatabase& database, bool) { return deletion(database, path); });
}

} // namespace

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    return DeleteBelow(hKey, lpSubKey, [](RegistryDatabase& database, const std::string& path) {
        return database.DeleteKey(path);
    });
}

LONG RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) {
    return DeleteBelow(hKey, lpSubKey, [](RegistryDatabase& database, const std::string& path) {
        return database.DeleteTree(path);
    });
}

LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName) {
    KeyRef key;
    if (!Resolve(hKey, key)) {
        return ERROR_INVALID_HANDLE;
    }
    if ((key.access & KEY_ENUMERATE_SUB_KEYS) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    if (lpName == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::string path = key.StorePath();
    std::string name;
    const LONG result = RunOnRegistryStore(key.store, StoreUse::Read, [&](RegistryDatabase& database, bool) {
        return database.EnumKey(path, dwIndex, name);
    });
    if (result != ERROR_SUCCESS) {
        return result;
    }
    DWORD size = cchName;
    return CopyOut(name.c_str(), name.size() + 1, lpName, size);
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    KeyRef key;
    if (!Resolve(hKey, key)) {
        return ERROR_INVALID_HANDLE;
    }
    if ((key.access & KEY_QUERY_VALUE) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    if (lpValueName == nullptr || lpcchValueName == nullptr || (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::string path = key.StorePath();
    RegistryValue value;
    const LONG result = RunOnRegistryStore(key.store, StoreUse::Read, [&](RegistryDatabase& database, bool) {
        return database.EnumValue(path, dwIndex, value);
    });
    if (result != ERROR_SUCCESS) {
        return result;
    }
    DWORD nameSize = *lpcchValueName;
    if (const LONG copied = CopyOut(value.name.c_str(), value.name.size() + 1, lpValueName, nameSize);
        copied != ERROR_SUCCESS) {
        return copied;
    }
    // The name's length comes back without its NUL.
    *lpcchValueName = nameSize - 1;
    if (lpType != nullptr) {
        *lpType = value.type;
    }
    return lpcbData != nullptr ? CopyOut(value.data.data(), value.data.size(), lpData, *lpcbData)
                               : ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY hKey) {
    if (IsPredefined(hKey)) {
        return ERROR_SUCCESS;
    }
    {
        const std::lock_guard lock(g_handlesMutex);
        if (g_openHandles.erase(hKey) == 0) {
            return ERROR_INVALID_HANDLE;
        }
    }
    delete hKey;
    return ERROR_SUCCESS;
}
