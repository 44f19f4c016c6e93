// The handful of Win32 names, types and result codes that the program's logic is written
// against. They are declared here from what the program needs; on Linux they are plain
// aliases and constants, implemented by the services of this folder.
#pragma once

#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPCSTR = const char*;
using LPSTR = char*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;

inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;

// Result codes of the registry, file and clipboard services, with their Win32 values.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_PATH_NOT_FOUND = 3;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr LONG ERROR_INVALID_DATA = 13;
inline constexpr LONG ERROR_WRITE_FAULT = 29;
inline constexpr LONG ERROR_READ_FAULT = 30;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_ALREADY_EXISTS = 183;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_KEY_HAS_CHILDREN = 1020;
inline constexpr LONG ERROR_BADDB = 1009;

// Message-box styles understood by AfxMessageBox.
inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_ICONEXCLAMATION = 0x0030;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
