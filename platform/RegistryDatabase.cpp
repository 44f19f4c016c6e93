#include "RegistryDatabase.h"

#include "MultiByteText.h"
#include "Registry.h"

#include <sqlite3.h>
#include <string_view>

namespace {

// Marks the file as this program's registry ("LKRG").
constexpr int kApplicationId = 0x4C4B5247;

LONG ToWin32(int rc, LONG otherwise) {
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return ERROR_SUCCESS;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return ERROR_BADDB;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return ERROR_ACCESS_DENIED;
    case SQLITE_NOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return otherwise;
    }
}

} // namespace

// A cached statement in use: binds text (names and paths are 8-bit text of any encoding, kept
// byte for byte) and resets itself when done, so the next user finds it clean.
class RegistryDatabase::Statement {
public:
    Statement(RegistryDatabase& database, const char* sql)
        : m_statement(database.Prepare(sql, m_prepareResult)) {}
    ~Statement() {
        if (m_statement != nullptr) {
            sqlite3_reset(m_statement);
            sqlite3_clear_bindings(m_statement);
        }
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Prepared() const { return m_statement != nullptr; }

    Statement& Bind(int index, const std::string& text) {
        sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
        return *this;
    }
    Statement& Bind(int index, std::int64_t number) {
        sqlite3_bind_int64(m_statement, index, number);
        return *this;
    }
    Statement& BindBlob(int index, const BYTE* data, DWORD size) {
        // A zero-length blob still binds as a blob, never as NULL.
        static const BYTE kEmpty = 0;
        sqlite3_bind_blob(m_statement, index, size != 0 ? data : &kEmpty, static_cast<int>(size),
                          SQLITE_STATIC);
        return *this;
    }

    // SQLITE_ROW, SQLITE_DONE or an error code; a statement that failed to prepare gives the
    // preparation's error.
    int Step() { return m_statement != nullptr ? sqlite3_step(m_statement) : m_prepareResult; }

    std::int64_t Integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    std::string Text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return text != nullptr
                   ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)))
                   : std::string();
    }
    std::vector<BYTE> Blob(int column) const {
        const auto* data = static_cast<const BYTE*>(sqlite3_column_blob(m_statement, column));
        const auto size = static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column));
        return data != nullptr ? std::vector<BYTE>(data, data + size) : std::vector<BYTE>();
    }

private:
    int m_prepareResult = SQLITE_OK;
    sqlite3_stmt* m_statement;
};

RegistryDatabase::RegistryDatabase(sqlite3* connection) : m_db(connection) {
    // Other processes hold the file only for single short transactions.
    if (m_db != nullptr) {
        sqlite3_busy_timeout(m_db, 10000);
        // Every committed write is on the disk before the call returns.
        sqlite3_exec(m_db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    }
}

RegistryDatabase::~RegistryDatabase() {
    if (m_db == nullptr) {
        return;
    }
    for (auto& [sql, statement] : m_statements) {
        sqlite3_finalize(statement);
    }
    sqlite3_close(m_db);
}

void RegistryDatabase::Abandon() {
    m_statements.clear();
    m_db = nullptr;
}

sqlite3_stmt* RegistryDatabase::Prepare(const char* sql, int& result) {
    if (auto found = m_statements.find(sql); found != m_statements.end()) {
        return found->second;
    }
    sqlite3_stmt* statement = nullptr;
    result = sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (result != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    m_statements.emplace(sql, statement);
    return statement;
}

LONG RegistryDatabase::Execute(const char* sql) {
    return ToWin32(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), ERROR_WRITE_FAULT);
}

LONG RegistryDatabase::CreateSchema(bool writeAheadLog) {
    if (writeAheadLog) {
        Statement mode(*this, "PRAGMA journal_mode = WAL");
        if (mode.Step() != SQLITE_ROW || mode.Text(0) != "wal") {
            return ERROR_WRITE_FAULT;
        }
    }
    return InWriteTransaction([this] {
        return Execute("CREATE TABLE keys ("
                       "  id INTEGER PRIMARY KEY,"
                       "  parent INTEGER NOT NULL,"
                       "  path TEXT NOT NULL UNIQUE COLLATE NOCASE,"
                       "  name TEXT NOT NULL COLLATE NOCASE);"
                       "CREATE INDEX keys_by_parent ON keys (parent, name);"
                       "CREATE TABLE vals ("
                       "  id INTEGER PRIMARY KEY,"
                       "  key INTEGER NOT NULL,"
                       "  name TEXT NOT NULL COLLATE NOCASE,"
                       "  type INTEGER NOT NULL,"
                       "  data BLOB NOT NULL,"
                       "  UNIQUE (key, name));"
                       "INSERT INTO keys (id, parent, path, name) VALUES (1, 0, '', '');"
                       "PRAGMA application_id = 1280004679;"
                       "PRAGMA user_version = 1;");
    });
}

LONG RegistryDatabase::CheckSchema(std::string& reason) {
    static_assert(kApplicationId == 1280004679 && kSchemaVersion == 1, "keep CreateSchema in step");
    Statement header(*this, "SELECT (SELECT application_id FROM pragma_application_id),"
                            "       (SELECT user_version FROM pragma_user_version),"
                            "       (SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name IN "
                            "('keys', 'vals'))");
    const int rc = header.Step();
    if (rc != SQLITE_ROW) {
        const LONG result = ToWin32(rc, ERROR_READ_FAULT);
        if (result == ERROR_BADDB) {
            reason = sqlite3_errstr(rc);
        }
        return result;
    }
    if (header.Integer(0) != kApplicationId) {
        reason = "it is not a registry database";
    } else if (header.Integer(1) > kSchemaVersion) {
        reason = "it was written by a newer version (schema " + std::to_string(header.Integer(1)) + ")";
    } else if (header.Integer(1) != kSchemaVersion || header.Integer(2) != 2 ||
               KeyExists("") != ERROR_SUCCESS) {
        reason = "its tables are incomplete";
    } else {
        return ERROR_SUCCESS;
    }
    return ERROR_BADDB;
}

template <typename Body>
LONG RegistryDatabase::InWriteTransaction(Body&& body) {
    // IMMEDIATE takes the write lock at once, waiting for other writers, so two processes never
    // both read and then deadlock on the upgrade to writing.
    if (const LONG begun = Execute("BEGIN IMMEDIATE"); begun != ERROR_SUCCESS) {
        return begun;
    }
    LONG result = body();
    if (result == ERROR_SUCCESS) {
        result = Execute("COMMIT");
    }
    if (result != ERROR_SUCCESS && !sqlite3_get_autocommit(m_db)) {
        Execute("ROLLBACK");
    }
    return result;
}

LONG RegistryDatabase::FindKey(const std::string& path, std::int64_t& id) {
    Statement find(*this, "SELECT id FROM keys WHERE path = ?1");
    const int rc = find.Bind(1, path).Step();
    if (rc == SQLITE_ROW) {
        id = find.Integer(0);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : ToWin32(rc, ERROR_READ_FAULT);
}

LONG RegistryDatabase::KeyExists(const std::string& path) {
    std::int64_t id = 0;
    return FindKey(path, id);
}

LONG RegistryDatabase::InsertKeyChain(const std::string& path, bool& created) {
    created = false;
    std::int64_t parent = 1;
    for (std::size_t end = 0; end < path.size();) {
        const std::size_t start = end == 0 ? 0 : end + 1;
        // Whole characters only: a double-byte character may end in the byte of '\\'.
        const std::size_t separator = mbtext::FindFirst(std::string_view(path).substr(start), '\\');
        end = separator == std::string_view::npos ? path.size() : start + separator;
        const std::string prefix = path.substr(0, end);
        std::int64_t id = 0;
        LONG found = FindKey(prefix, id);
        if (found == ERROR_FILE_NOT_FOUND) {
            Statement insert(*this, "INSERT INTO keys (parent, path, name) VALUES (?1, ?2, ?3)");
            const int rc =
                insert.Bind(1, parent).Bind(2, prefix).Bind(3, path.substr(start, end - start)).Step();
            if (rc != SQLITE_DONE) {
                return ToWin32(rc, ERROR_WRITE_FAULT);
            }
            id = sqlite3_last_insert_rowid(m_db);
            created = true;
            found = ERROR_SUCCESS;
        }
        if (found != ERROR_SUCCESS) {
            return found;
        }
        parent = id;
    }
    return ERROR_SUCCESS;
}

LONG RegistryDatabase::CreateKey(const std::string& path, bool& created) {
    created = false;
    // Most calls find the key already there and need no write lock at all.
    const LONG existing = KeyExists(path);
    if (existing != ERROR_FILE_NOT_FOUND) {
        return existing;
    }
    return InWriteTransaction([&] { return InsertKeyChain(path, created); });
}

LONG RegistryDatabase::QueryValue(const std::string& path, const std::string& name, RegistryValue& value) {
    Statement query(*this, "SELECT v.name, v.type, v.data FROM keys k JOIN vals v ON v.key = k.id "
                           "WHERE k.path = ?1 AND v.name = ?2");
    const int rc = query.Bind(1, path).Bind(2, name).Step();
    if (rc != SQLITE_ROW) {
        return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : ToWin32(rc, ERROR_READ_FAULT);
    }
    value.name = query.Text(0);
    value.type = static_cast<DWORD>(query.Integer(1));
    value.data = query.Blob(2);
    return ERROR_SUCCESS;
}

LONG RegistryDatabase::SetValue(const std::string& path, const std::string& name, DWORD type,
                                const BYTE* data, DWORD size) {
    return InWriteTransaction([&] {
        std::int64_t key = 0;
        if (const LONG found = FindKey(path, key); found != ERROR_SUCCESS) {
            return found == ERROR_FILE_NOT_FOUND ? ERROR_KEY_DELETED : found;
        }
        // An existing value keeps the spelling of its name, as it does on Windows.
        Statement upsert(*this,
                         "INSERT INTO vals (key, name, type, data) VALUES (?1, ?2, ?3, ?4) "
                         "ON CONFLICT (key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
        const int rc =
            upsert.Bind(1, key).Bind(2, name).Bind(3, std::int64_t{type}).BindBlob(4, data, size).Step();
        return ToWin32(rc, ERROR_WRITE_FAULT);
    });
}

LONG RegistryDatabase::DeleteValue(const std::string& path, const std::string& name) {
    return InWriteTransaction([&] {
        Statement remove(*this,
                         "DELETE FROM vals WHERE key = (SELECT id FROM keys WHERE path = ?1) AND name = ?2");
        const int rc = remove.Bind(1, path).Bind(2, name).Step();
        if (rc != SQLITE_DONE) {
            return ToWin32(rc, ERROR_WRITE_FAULT);
        }
        return sqlite3_changes(m_db) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
    });
}

LONG RegistryDatabase::DeleteKey(const std::string& path) {
    if (path.empty()) {
        return ERROR_ACCESS_DENIED;
    }
    return InWriteTransaction([&] {
        std::int64_t key = 0;
        if (const LONG found = FindKey(path, key); found != ERROR_SUCCESS) {
            return found;
        }
        Statement children(*this, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
        const int rc = children.Bind(1, key).Step();
        if (rc == SQLITE_ROW) {
            return ERROR_ACCESS_DENIED;
        }
        if (rc != SQLITE_DONE) {
            return ToWin32(rc, ERROR_WRITE_FAULT);
        }
        Statement values(*this, "DELETE FROM vals WHERE key = ?1");
        Statement self(*this, "DELETE FROM keys WHERE id = ?1");
        const int valuesRc = values.Bind(1, key).Step();
        return ToWin32(valuesRc != SQLITE_DONE ? valuesRc : self.Bind(1, key).Step(), ERROR_WRITE_FAULT);
    });
}

LONG RegistryDatabase::DeleteTree(const std::string& path) {
    if (path.empty()) {
        return ERROR_ACCESS_DENIED;
    }
    return InWriteTransaction([&] {
        std::int64_t key = 0;
        if (const LONG found = FindKey(path, key); found != ERROR_SUCCESS) {
            return found;
        }
        Statement values(*this, "WITH RECURSIVE tree (id) AS (SELECT ?1 UNION ALL "
                                "SELECT k.id FROM keys k JOIN tree t ON k.parent = t.id) "
                                "DELETE FROM vals WHERE key IN tree");
        Statement keys(*this, "WITH RECURSIVE tree (id) AS (SELECT ?1 UNION ALL "
                              "SELECT k.id FROM keys k JOIN tree t ON k.parent = t.id) "
                              "DELETE FROM keys WHERE id IN tree");
        const int valuesRc = values.Bind(1, key).Step();
        return ToWin32(valuesRc != SQLITE_DONE ? valuesRc : keys.Bind(1, key).Step(), ERROR_WRITE_FAULT);
    });
}

LONG RegistryDatabase::EnumKey(const std::string& path, DWORD index, std::string& name) {
    Statement enumerate(*this, "SELECT c.name FROM keys p JOIN keys c ON c.parent = p.id WHERE p.path = ?1 "
                               "ORDER BY c.name LIMIT 1 OFFSET ?2");
    const int rc = enumerate.Bind(1, path).Bind(2, std::int64_t{index}).Step();
    if (rc != SQLITE_ROW) {
        return rc == SQLITE_DONE ? ERROR_NO_MORE_ITEMS : ToWin32(rc, ERROR_READ_FAULT);
    }
    name = enumerate.Text(0);
    return ERROR_SUCCESS;
}

LONG RegistryDatabase::EnumValue(const std::string& path, DWORD index, RegistryValue& value) {
    Statement enumerate(*this, "SELECT v.name, v.type, v.data FROM keys k JOIN vals v ON v.key = k.id "
                               "WHERE k.path = ?1 ORDER BY v.id LIMIT 1 OFFSET ?2");
    const int rc = enumerate.Bind(1, path).Bind(2, std::int64_t{index}).Step();
    if (rc != SQLITE_ROW) {
        return rc == SQLITE_DONE ? ERROR_NO_MORE_ITEMS : ToWin32(rc, ERROR_READ_FAULT);
    }
    value.name = enumerate.Text(0);
    value.type = static_cast<DWORD>(enumerate.Integer(1));
    value.data = enumerate.Blob(2);
    return ERROR_SUCCESS;
}
