// One open registry key and the result of the last registry call made through it.
#pragma once

#include "Registry.h"

class CRegistryKey {
public:
    CRegistryKey() = default;
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Closes the key held, if any. Always TRUE; m_lResult is kept.
    BOOL Close();
    // Opens an existing key for reading; a path of 260 characters or more is refused.
    BOOL Open(HKEY hKeyRoot, LPCSTR pszSubKey);
    // Opens a key for reading and writing, creating it and its missing parents.
    BOOL Create(HKEY hKeyRoot, LPCSTR pszSubKey);
    // Deletes the key with everything below it; TRUE when the key itself was deleted.
    BOOL DeleteKeyTree(HKEY hKeyRoot, LPCSTR pszSubKey);

    // Reads a value of at most nSize bytes into pszBuffer (room for nSize + 1 bytes). A value of
    // a type other than REG_SZ is still read as text, and removed when the key allows it.
    BOOL ReadString(LPCSTR pszName, LPSTR pszBuffer, DWORD nSize);
    // Stores the first 1023 bytes of pszValue as REG_SZ.
    BOOL WriteString(LPCSTR pszName, LPCSTR pszValue);
    // Reads decimal text; a value of another type succeeds and leaves nValue unchanged.
    BOOL ReadNumber(LPCSTR pszName, int& nValue);
    // Stores dwValue as unsigned decimal text.
    BOOL WriteNumber(LPCSTR pszName, DWORD dwValue);
    BOOL DeleteValue(LPCSTR pszName);
    // Names sub-key nIndex into pszName (room for nSize + 1 bytes).
    BOOL EnumSubKey(DWORD nIndex, LPSTR pszName, DWORD nSize);

    HKEY m_hKey = nullptr;
    LONG m_lResult = ERROR_SUCCESS;
};

// Copies the default value of a key (at most 259 bytes) into pszOut, which has room for 260
// bytes and may be the buffer that holds pszSubKey. ERROR_SUCCESS, or the open's error code with
// pszOut untouched.
LONG ReadKeyDefault(HKEY hKeyRoot, LPCSTR pszSubKey, LPSTR pszOut);
