// The registry calls the program makes, with their Win32 names, types and result codes, kept in
// SQLite databases:
//   HKEY_CURRENT_USER   $XDG_CONFIG_HOME/larkspur/registry.sqlite3 (default ~/.config/...)
//   HKEY_CLASSES_ROOT   the per-user classes: HKEY_CURRENT_USER\Software\Classes in that database
//   HKEY_LOCAL_MACHINE  /etc/larkspur/registry.sqlite3, or the file named by the environment
//                       variable LARKSPUR_SYSTEM_REGISTRY; a user who may not write it can read it
//                       and gets ERROR_ACCESS_DENIED from every change.
// Key and value names compare without regard to the case of A to Z. Every call reads or writes the
// database, so a change made by another process is seen by the next call; writes are transactions,
// so several processes can share the store and a crash loses at most the write in progress.
// A database that cannot be read is kept aside under a time-stamped name and replaced by a new one.
#pragma once

#include "Win32Types.h"

struct RegistryKeyHandle;
using HKEY = RegistryKeyHandle*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using PLONG = LONG*;
struct SECURITY_ATTRIBUTES;

extern const HKEY HKEY_CLASSES_ROOT;
extern const HKEY HKEY_CURRENT_USER;
extern const HKEY HKEY_LOCAL_MACHINE;

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

// Access rights of an open key.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM READ_CONTROL = 0x00020000;
inline constexpr REGSAM KEY_READ = READ_CONTROL | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
inline constexpr REGSAM KEY_WRITE = READ_CONTROL | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
inline constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// Options and dispositions of RegCreateKeyExA.
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Result codes of the registry beyond those of Win32Types.h.
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_KEY_DELETED = 1018;

// Opens an existing key. A missing key gives ERROR_FILE_NOT_FOUND; write access to the system
// database by a user who may not write it gives ERROR_ACCESS_DENIED.
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);

// Opens a key, creating it and every missing parent first.
LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, const SECURITY_ATTRIBUTES* lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition);

// Reads a value (NULL or "" names the default value). A value larger than *lpcbData gives
// ERROR_MORE_DATA with the needed size in *lpcbData and lpData untouched.
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);

// Reads the default value of lpSubKey (or of hKey itself for NULL or "") as text; a key without
// a default value reads as the empty text.
LONG RegQueryValueA(HKEY hKey, LPCSTR lpSubKey, LPSTR lpData, PLONG lpcbData);

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData);

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);

// Deletes a key that has no sub-keys, with its values; a key with sub-keys is refused with
// ERROR_ACCESS_DENIED.
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);

// Deletes a key with all its sub-keys and values in one transaction.
LONG RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey);

// Names the sub-key at dwIndex (in order of their names); ERROR_NO_MORE_ITEMS past the last one,
// ERROR_MORE_DATA when the name and its NUL do not fit cchName bytes.
LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName);

// Names the value at dwIndex (in the order they were first set), with its type and data.
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);

LONG RegCloseKey(HKEY hKey);
