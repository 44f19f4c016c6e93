// Values as text: their type names, how a listing shows their data, and data typed by the user.
#pragma once

#include "Win32Types.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// "REG_SZ", "REG_DWORD", ...; an unknown type as "REG_TYPE_<number>".
std::string TypeName(DWORD type);
// The types a user may set: REG_SZ, REG_EXPAND_SZ, REG_DWORD and REG_BINARY (any case).
std::optional<DWORD> ParseSettableType(std::string_view name);

// The data on one line: text up to its NUL, a REG_DWORD in decimal, anything else in hex digits.
std::string DisplayData(DWORD type, const std::vector<BYTE>& data);

// The bytes to store for the user's text: texts with their NUL; a REG_DWORD from decimal or 0x
// hex up to 4294967295, little-endian; REG_BINARY from pairs of hex digits, optionally separated
// by ',' or blanks. Nothing when the text does not fit the type.
std::optional<std::vector<BYTE>> ParseData(DWORD type, std::string_view text);

// Pairs of lower-case hex digits joined by `separator` (none when it is '\0').
std::string HexBytes(const std::vector<BYTE>& data, char separator);
