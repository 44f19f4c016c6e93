#include "MultiByteText.h"

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <langinfo.h>

namespace mbtext {
namespace {

std::atomic<CharLengthRule> g_testRule{nullptr};

// Characters of a set in which no byte of a multi-byte character is ASCII can be searched byte
// by byte; that holds for UTF-8 and for every single-byte set.
bool LocaleIsByteSearchable() {
    if (MB_CUR_MAX == 1) {
        return true;
    }
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

// The length of the character at `text`, which may exceed `available` when the character is cut
// off there.
std::size_t LocaleCharLength(const char* text, std::size_t available) {
    if (available == 0 || static_cast<unsigned char>(*text) < 0x80 || LocaleIsByteSearchable()) {
        return 1;
    }
    std::mbstate_t state{};
    const std::size_t length = std::mbrlen(text, available, &state);
    if (length == static_cast<std::size_t>(-2)) {
        return available + 1;
    }
    // An invalid sequence counts as one byte so that a walk never stalls.
    if (length == 0 || length == static_cast<std::size_t>(-1)) {
        return 1;
    }
    return length;
}

std::size_t UnboundedCharLength(const char* text, std::size_t available) {
    if (const CharLengthRule rule = g_testRule.load(std::memory_order_relaxed)) {
        return rule(text, available);
    }
    return LocaleCharLength(text, available);
}

bool ByteSearchApplies() {
    return g_testRule.load(std::memory_order_relaxed) == nullptr && LocaleIsByteSearchable();
}

} // namespace

std::size_t CharLength(const char* text, std::size_t available) {
    return std::max<std::size_t>(1, std::min(UnboundedCharLength(text, available), available));
}

std::size_t FindFirst(std::string_view text, char ch) {
    if (ByteSearchApplies()) {
        return text.find(ch);
    }
    for (std::size_t i = 0; i < text.size(); i += CharLength(text.data() + i, text.size() - i)) {
        if (text[i] == ch) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::size_t FindLast(std::string_view text, char ch) {
    if (ByteSearchApplies()) {
        return text.rfind(ch);
    }
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text.data() + i, text.size() - i)) {
        if (text[i] == ch) {
            found = i;
        }
    }
    return found;
}

std::size_t FindFirstOf(std::string_view text, std::string_view set) {
    if (ByteSearchApplies()) {
        return text.find_first_of(set);
    }
    for (std::size_t i = 0; i < text.size(); i += CharLength(text.data() + i, text.size() - i)) {
        if (set.find(text[i]) != std::string_view::npos) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::size_t CopyWholeCharacters(char* destination, const char* source, std::size_t limit) {
    std::size_t copied = 0;
    while (copied < limit && source[copied] != '\0') {
        const std::size_t length =
            std::max<std::size_t>(1, UnboundedCharLength(source + copied, limit - copied));
        if (length > limit - copied) {
            break;
        }
        std::memcpy(destination + copied, source + copied, length);
        copied += length;
    }
    return copied;
}

char* ReverseInPlace(char* text) {
    const std::size_t size = std::strlen(text);
    // Reverse the bytes of each multi-byte character first, then the whole text: every
    // character lands in reversed order with its own bytes in their original order.
    for (std::size_t i = 0; i < size;) {
        const std::size_t length = CharLength(text + i, size - i);
        std::reverse(text + i, text + i + length);
        i += length;
    }
    std::reverse(text, text + size);
    return text;
}

void SetCharLengthRuleForTesting(CharLengthRule rule) {
    g_testRule.store(rule, std::memory_order_relaxed);
}

} // namespace mbtext
