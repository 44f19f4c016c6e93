// Character-aware searches over 8-bit text in the current locale's character set.
//
// In a double-byte character set (GBK, Big5, Shift-JIS) the second byte of a character can equal
// an ASCII delimiter such as '\\', '|' or '"'; these functions step over whole characters so such
// a byte never matches. In UTF-8 and single-byte sets a search is a plain byte search.
#pragma once

#include <cstddef>
#include <string_view>

namespace mbtext {

// The length in bytes of the character that starts at `text` (at most `available` bytes are
// looked at). Never less than 1, so a walk always advances, even over malformed text.
std::size_t CharLength(const char* text, std::size_t available);

// Offset of the first / last character equal to `ch` (an ASCII byte), or npos.
std::size_t FindFirst(std::string_view text, char ch);
std::size_t FindLast(std::string_view text, char ch);
// Offset of the first character that is one of the ASCII bytes of `set`, or npos.
std::size_t FindFirstOf(std::string_view text, std::string_view set);

// Copies at most `limit` bytes of `source` into `destination`, stopping at the first NUL and
// before a character that would not fit whole. Returns the number of bytes copied; writes no NUL.
std::size_t CopyWholeCharacters(char* destination, const char* source, std::size_t limit);

// Reverses the characters of a NUL-terminated text in place; each multi-byte character keeps
// the order of its bytes.
char* ReverseInPlace(char* text);

// Tests install a fixed rule for how long a character is, instead of the locale's, to exercise
// double-byte behaviour on machines without such a locale. The rule looks only at the first byte
// and may report more than `available` for a character that is cut off. Pass nullptr to go back
// to the locale.
using CharLengthRule = std::size_t (*)(const char* text, std::size_t available);
void SetCharLengthRuleForTesting(CharLengthRule rule);

} // namespace mbtext
