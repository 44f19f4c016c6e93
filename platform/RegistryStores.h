// The database files behind the registry roots: where they are, opening them for one call,
// creating them, and setting aside one that cannot be read.
#pragma once

#include "RegistryDatabase.h"
#include "Win32Types.h"

#include <filesystem>
#include <functional>

enum class RegistryStore {
    User,   // HKEY_CURRENT_USER, with the per-user classes
    System, // HKEY_LOCAL_MACHINE
};

enum class StoreUse {
    Read,  // a missing file reads as an empty store and is not created
    Write, // a missing file is created; a store the user may not write gives ERROR_ACCESS_DENIED
};

// $XDG_CONFIG_HOME/larkspur/registry.sqlite3 for the user; $LARKSPUR_SYSTEM_REGISTRY, or
// /etc/larkspur/registry.sqlite3, for the system.
std::filesystem::path RegistryStorePath(RegistryStore store);

// Runs `operation` on the store's database, serialised with this process's other registry calls.
// `writable` tells whether this user may change the store. When the file turns out to be damaged
// it is kept aside under a time-stamped name, a new one is made (saying so on standard error),
// and the operation runs once more.
LONG RunOnRegistryStore(RegistryStore store, StoreUse use,
                        const std::function<LONG(RegistryDatabase& database, bool writable)>& operation);
