// Small in-place text operations on paths and hand-off items.
#pragma once

#include <string>

// Appends `ch` unless the text's last byte already is `ch`; an empty text becomes `ch` alone.
const char* AppendCharIfMissing(std::string& text, char ch);
// The same on a NUL-terminated buffer; the caller guarantees room for one more character.
char* AppendCharIfMissing(char* buffer, char ch);

// Removes the whole run of `ch` at the end of the text.
char* TrimTrailingChar(char* buffer, char ch);

// Removes every leading and every trailing double quote; quotes inside the text stay.
char* StripQuotes(char* buffer);
