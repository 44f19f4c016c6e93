#include "RegistryValueText.h"

#include "Registry.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <strings.h>

namespace {

struct TypeNameEntry {
    DWORD type;
    const char* name;
    bool settable;
};

constexpr TypeNameEntry kTypeNames[] = {
    {REG_NONE, "REG_NONE", false},    {REG_SZ, "REG_SZ", true},       {REG_EXPAND_SZ, "REG_EXPAND_SZ", true},
    {REG_BINARY, "REG_BINARY", true}, {REG_DWORD, "REG_DWORD", true}, {REG_MULTI_SZ, "REG_MULTI_SZ", false},
};

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') {
        return ch - '0';
    }
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

std::optional<std::vector<BYTE>> ParseDword(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    DWORD value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return std::vector<BYTE>{static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                             static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
}

std::optional<std::vector<BYTE>> ParseBinary(std::string_view text) {
    std::string digits;
    for (const char ch : text) {
        if (ch == ',' || ch == ' ') {
            continue;
        }
        if (HexDigit(ch) < 0) {
            return std::nullopt;
        }
        digits += ch;
    }
    if (digits.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<BYTE> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        bytes.push_back(static_cast<BYTE>(HexDigit(digits[i]) * 16 + HexDigit(digits[i + 1])));
    }
    return bytes;
}

} // namespace

std::string TypeName(DWORD type) {
    for (const TypeNameEntry& entry : kTypeNames) {
        if (entry.type == type) {
            return entry.name;
        }
    }
    return "REG_TYPE_" + std::to_string(type);
}

std::optional<DWORD> ParseSettableType(std::string_view name) {
    const std::string text(name);
    for (const TypeNameEntry& entry : kTypeNames) {
        if (entry.settable && strcasecmp(text.c_str(), entry.name) == 0) {
            return entry.type;
        }
    }
    return std::nullopt;
}

std::string HexBytes(const std::vector<BYTE>& data, char separator) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0 && separator != '\0') {
            text += separator;
        }
        text += kDigits[data[i] >> 4];
        text += kDigits[data[i] & 0x0F];
    }
    return text;
}

std::string DisplayData(DWORD type, const std::vector<BYTE>& data) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        return std::string(data.begin(), std::find(data.begin(), data.end(), BYTE{0}));
    }
    if (type == REG_DWORD && data.size() == 4) {
        return std::to_string(DWORD{data[0]} | DWORD{data[1]} << 8 | DWORD{data[2]} << 16 |
                              DWORD{data[3]} << 24);
    }
    return HexBytes(data, '\0');
}

std::optional<std::vector<BYTE>> ParseData(DWORD type, std::string_view text) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::vector<BYTE> bytes(text.begin(), text.end());
        bytes.push_back(0);
        return bytes;
    }
    if (type == REG_DWORD) {
        return ParseDword(text);
    }
    if (type == REG_BINARY) {
        return ParseBinary(text);
    }
    return std::nullopt;
}
