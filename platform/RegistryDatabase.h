// One connection to a registry database and the key and value operations over it. Key paths are
// relative to the database's root key, with names separated by '\'; "" is the root key itself.
// Every operation returns a Win32 result code; ERROR_BADDB means the file is damaged.
#pragma once

#include "Win32Types.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

struct RegistryValue {
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

class RegistryDatabase {
public:
    // The schema version this program writes and reads; a higher one comes from a newer program.
    static constexpr int kSchemaVersion = 1;

    // Takes over an open connection.
    explicit RegistryDatabase(sqlite3* connection);
    ~RegistryDatabase();
    RegistryDatabase(const RegistryDatabase&) = delete;
    RegistryDatabase& operator=(const RegistryDatabase&) = delete;

    // Makes the tables of an empty database. A write-ahead log lets readers go on while another
    // process writes; a database that users may only read keeps a rollback journal, which needs
    // no shared-memory file that they could not write.
    LONG CreateSchema(bool writeAheadLog);
    // ERROR_SUCCESS when the database holds this program's schema; ERROR_BADDB otherwise, with
    // `reason` saying why.
    LONG CheckSchema(std::string& reason);

    LONG KeyExists(const std::string& path);
    // Creates the key and its missing parents; `created` tells whether the key itself was new.
    LONG CreateKey(const std::string& path, bool& created);
    LONG QueryValue(const std::string& path, const std::string& name, RegistryValue& value);
    // ERROR_KEY_DELETED when the key is gone.
    LONG SetValue(const std::string& path, const std::string& name, DWORD type, const BYTE* data, DWORD size);
    LONG DeleteValue(const std::string& path, const std::string& name);
    // Refuses a key with sub-keys (ERROR_ACCESS_DENIED) and the root key.
    LONG DeleteKey(const std::string& path);
    LONG DeleteTree(const std::string& path);
    // Sub-keys in order of their names; values in the order they were first set.
    LONG EnumKey(const std::string& path, DWORD index, std::string& name);
    LONG EnumValue(const std::string& path, DWORD index, RegistryValue& value);

    // Detaches the connection without closing it: after a fork the child must not close the
    // parent's connection, which would drop the parent's file locks.
    void Abandon();

private:
    class Statement;

    sqlite3_stmt* Prepare(const char* sql, int& result);
    LONG Execute(const char* sql);
    LONG FindKey(const std::string& path, std::int64_t& id);
    LONG InsertKeyChain(const std::string& path, bool& created);
    // Runs `body` inside BEGIN IMMEDIATE ... COMMIT; any failure rolls the whole write back.
    template <typename Body>
    LONG InWriteTransaction(Body&& body);

    sqlite3* m_db;
    std::unordered_map<const char*, sqlite3_stmt*> m_statements;
};
