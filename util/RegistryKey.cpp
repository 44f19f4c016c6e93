#include "RegistryKey.h"

#include "MultiByteText.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxSubKeyPath = 259;
constexpr std::size_t kMaxStoredText = 1023;
constexpr DWORD kNumberBufferSize = 64;
constexpr DWORD kEnumeratedNameSize = 256;
constexpr DWORD kEnumerationBufferSize = 1024;
constexpr DWORD kKeyDefaultSize = 260;

bool PathTooLong(LPCSTR pszSubKey) {
    return pszSubKey != nullptr && std::strlen(pszSubKey) > kMaxSubKeyPath;
}

// Decimal text as the C library's atoi reads it, but wrapping modulo 2^32 instead of overflowing.
int ParseWrappingDecimal(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        ++text;
    }
    const bool negative = *text == '-';
    if (*text == '+' || *text == '-') {
        ++text;
    }
    std::uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10U + static_cast<std::uint32_t>(*text - '0');
    }
    if (negative) {
        value = 0U - value;
    }
    return static_cast<int>(value);
}

} // namespace

CRegistryKey::~CRegistryKey() {
    Close();
}

BOOL CRegistryKey::Close() {
    if (m_hKey != nullptr) {
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
    return TRUE;
}

BOOL CRegistryKey::Open(HKEY hKeyRoot, LPCSTR pszSubKey) {
    try {
        Close();
        if (PathTooLong(pszSubKey)) {
            return FALSE;
        }
        m_lResult = RegOpenKeyExA(hKeyRoot, pszSubKey, 0, KEY_READ, &m_hKey);
    } catch (...) {
    }
    return m_lResult == ERROR_SUCCESS;
}

BOOL CRegistryKey::Create(HKEY hKeyRoot, LPCSTR pszSubKey) {
    try {
        Close();
        m_lResult = RegCreateKeyExA(hKeyRoot, pszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_READ | KEY_WRITE, nullptr, &m_hKey, nullptr);
    } catch (...) {
    }
    return m_lResult == ERROR_SUCCESS;
}

BOOL CRegistryKey::DeleteKeyTree(HKEY hKeyRoot, LPCSTR pszSubKey) {
    try {
        Close();
        CRegistryKey local;
        if (local.Open(hKeyRoot, pszSubKey)) {
            // All names of this level are collected before any is deleted, so the deletions
            // never shift the indices of the enumeration.
            std::string name(kEnumerationBufferSize, '\0');
            DWORD count = 0;
            while (local.EnumSubKey(count, name.data(), kEnumeratedNameSize)) {
                ++count;
            }
            std::vector<std::string> children(count + 1);
            for (DWORD i = 0; i < children.size() && local.EnumSubKey(i, name.data(), kEnumeratedNameSize);
                 ++i) {
                children[i] = name.c_str();
            }
            local.Close();
            for (const std::string& child : children) {
                if (!child.empty()) {
                    local.DeleteKeyTree(
                        hKeyRoot,
                        (std::string(pszSubKey != nullptr ? pszSubKey : "") + '\\' + child).c_str());
                }
            }
        }
        if (!PathTooLong(pszSubKey)) {
            m_lResult = RegDeleteKeyA(hKeyRoot, pszSubKey);
        }
    } catch (...) {
    }
    return m_lResult == ERROR_SUCCESS;
}

BOOL CRegistryKey::ReadString(LPCSTR pszName, LPSTR pszBuffer, DWORD nSize) {
    if (m_hKey == nullptr) {
        return FALSE;
    }
    // One byte more than the read may fill, so the data always ends in a NUL.
    std::vector<char> data(std::size_t{nSize} + 1, '\0');
    DWORD type = REG_NONE;
    DWORD size = nSize;
    m_lResult =
        RegQueryValueExA(m_hKey, pszName, nullptr, &type, reinterpret_cast<LPBYTE>(data.data()), &size);
    if (m_lResult != ERROR_SUCCESS) {
        return FALSE;
    }
    if (type != REG_SZ) {
        RegDeleteValueA(m_hKey, pszName);
    }
    const DWORD length = std::min(size, nSize);
    std::memset(pszBuffer, 0, nSize);
    mbtext::CopyWholeCharacters(pszBuffer, data.data(), length);
    pszBuffer[length] = '\0';
    return TRUE;
}

BOOL CRegistryKey::WriteString(LPCSTR pszName, LPCSTR pszValue) {
    if (m_hKey == nullptr) {
        return FALSE;
    }
    char text[kMaxStoredText + 1] = {};
    const std::size_t length =
        mbtext::CopyWholeCharacters(text, pszValue != nullptr ? pszValue : "", kMaxStoredText);
    m_lResult = RegSetValueExA(m_hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                               static_cast<DWORD>(length + 1));
    return m_lResult == ERROR_SUCCESS;
}

BOOL CRegistryKey::ReadNumber(LPCSTR pszName, int& nValue) {
    if (m_hKey == nullptr) {
        return FALSE;
    }
    char text[kNumberBufferSize] = {};
    DWORD type = REG_NONE;
    DWORD size = kNumberBufferSize - 1;
    m_lResult = RegQueryValueExA(m_hKey, pszName, nullptr, &type, reinterpret_cast<LPBYTE>(text), &size);
    if (m_lResult != ERROR_SUCCESS) {
        return FALSE;
    }
    if (type == REG_SZ) {
        nValue = ParseWrappingDecimal(text);
    }
    return TRUE;
}

BOOL CRegistryKey::WriteNumber(LPCSTR pszName, DWORD dwValue) {
    if (m_hKey == nullptr) {
        return FALSE;
    }
    char text[kNumberBufferSize] = {};
    const int length = std::snprintf(text, sizeof text, "%" PRIu32, dwValue);
    m_lResult = RegSetValueExA(m_hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                               static_cast<DWORD>(length + 1));
    return m_lResult == ERROR_SUCCESS;
}

BOOL CRegistryKey::DeleteValue(LPCSTR pszName) {
    if (m_hKey == nullptr) {
        return FALSE;
    }
    m_lResult = RegDeleteValueA(m_hKey, pszName);
    return m_lResult == ERROR_SUCCESS;
}

BOOL CRegistryKey::EnumSubKey(DWORD nIndex, LPSTR pszName, DWORD nSize) {
    if (m_hKey == nullptr) {
        return FALSE;
    }
    std::memset(pszName, 0, nSize);
    m_lResult = RegEnumKeyA(m_hKey, nIndex, pszName, nSize);
    if (m_lResult != ERROR_SUCCESS) {
        return FALSE;
    }
    pszName[nSize] = '\0';
    return TRUE;
}

LONG ReadKeyDefault(HKEY hKeyRoot, LPCSTR pszSubKey, LPSTR pszOut) {
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExA(hKeyRoot, pszSubKey, 0, KEY_QUERY_VALUE, &key);
    if (opened != ERROR_SUCCESS) {
        return opened;
    }
    // One byte beyond what the read may fill keeps the copy below within a terminated text.
    char value[kKeyDefaultSize + 1] = {};
    LONG size = kKeyDefaultSize;
    RegQueryValueA(key, nullptr, value, &size);
    const std::size_t length = std::min(std::strlen(value), std::size_t{kKeyDefaultSize - 1});
    std::memcpy(pszOut, value, length);
    pszOut[length] = '\0';
    RegCloseKey(key);
    return ERROR_SUCCESS;
}
