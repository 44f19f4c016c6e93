#include "TextOperations.h"

#include "MultiByteText.h"

#include <cstring>

const char* AppendCharIfMissing(std::string& text, char ch) {
    if (text.empty() || text.back() != ch) {
        text += ch;
    }
    return text.c_str();
}

char* AppendCharIfMissing(char* buffer, char ch) {
    const std::size_t length = std::strlen(buffer);
    if (length == 0 || buffer[length - 1] != ch) {
        buffer[length] = ch;
        buffer[length + 1] = '\0';
    }
    return buffer;
}

char* TrimTrailingChar(char* buffer, char ch) {
    const std::size_t length = std::strlen(buffer);
    // Walk whole characters, so the trail byte of a double-byte character is never taken for `ch`.
    std::size_t keep = 0;
    for (std::size_t i = 0; i < length;) {
        const std::size_t charLength = mbtext::CharLength(buffer + i, length - i);
        if (charLength != 1 || buffer[i] != ch) {
            keep = i + charLength;
        }
        i += charLength;
    }
    buffer[keep] = '\0';
    return buffer;
}

char* StripQuotes(char* buffer) {
    mbtext::ReverseInPlace(buffer);
    TrimTrailingChar(buffer, '"');
    mbtext::ReverseInPlace(buffer);
    return TrimTrailingChar(buffer, '"');
}
