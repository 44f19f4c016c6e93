#include "TextOperations.h"

#include "MultiByteText.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace {

// A double-byte rule like GBK's: a byte from 0x81 up starts a two-byte character, whose second
// byte may be any value, here even '"' or '/'.
std::size_t DoubleByteRule(const char* text, std::size_t /*available*/) {
    return static_cast<unsigned char>(*text) >= 0x81 ? 2 : 1;
}

class DoubleByteLocale {
public:
    DoubleByteLocale() { mbtext::SetCharLengthRuleForTesting(DoubleByteRule); }
    ~DoubleByteLocale() { mbtext::SetCharLengthRuleForTesting(nullptr); }
    DoubleByteLocale(const DoubleByteLocale&) = delete;
    DoubleByteLocale& operator=(const DoubleByteLocale&) = delete;
};

struct TextCase {
    const char* input;
    char ch;
    const char* expected;
};

TEST(TextOperations, AppendCharIfMissingLooksAtTheLastByteOnly) {
    const std::array cases{
        TextCase{"", '/', "/"},
        TextCase{"/srv/wav", '/', "/srv/wav/"},
        TextCase{"/srv/wav/", '/', "/srv/wav/"},
        TextCase{"/srv/wav//", '/', "/srv/wav//"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        std::string text = c.input;
        EXPECT_STREQ(AppendCharIfMissing(text, c.ch), c.expected);
        EXPECT_EQ(text, c.expected);

        std::array<char, 32> buffer{};
        std::string(c.input).copy(buffer.data(), buffer.size() - 2);
        EXPECT_EQ(AppendCharIfMissing(buffer.data(), c.ch), buffer.data());
        EXPECT_STREQ(buffer.data(), c.expected);
    }
}

TEST(TextOperations, TrimTrailingCharRemovesTheWholeRunAtTheEnd) {
    const std::array cases{
        TextCase{"", '/', ""},
        TextCase{"///", '/', ""},
        TextCase{"/srv/wav///", '/', "/srv/wav"},
        TextCase{"/srv/wav", '/', "/srv/wav"},
        TextCase{"a\"b\"\"", '"', "a\"b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        std::string buffer = c.input;
        EXPECT_STREQ(TrimTrailingChar(buffer.data(), c.ch), c.expected);
    }
}

TEST(TextOperations, StripQuotesRemovesOuterQuotesAndKeepsInnerOnes) {
    const std::array<std::array<const char*, 2>, 7> cases{{
        {"\"/music/song.mp3\"", "/music/song.mp3"},
        {"/music/song.mp3", "/music/song.mp3"},
        {"\"\"\"/music/song.mp3\"", "/music/song.mp3"},
        {"\"/music/say \"hi\".mp3\"", "/music/say \"hi\".mp3"},
        {"\"", ""},
        {"\"\"", ""},
        {"", ""},
    }};
    for (const auto& [input, expected] : cases) {
        SCOPED_TRACE(input);
        std::string buffer = input;
        EXPECT_STREQ(StripQuotes(buffer.data()), expected);
    }
}

TEST(TextOperations, DoubleByteCharactersEndingInAQuoteStayWhole) {
    const DoubleByteLocale locale;
    // "\x81\"" is one character whose second byte equals '"'.
    std::string trimmed = "ab\x81\"";
    EXPECT_STREQ(TrimTrailingChar(trimmed.data(), '"'), "ab\x81\"");

    std::string quoted = "\"\x81\"\x82\"\"";
    EXPECT_STREQ(StripQuotes(quoted.data()), "\x81\"\x82\"");
}

} // namespace
