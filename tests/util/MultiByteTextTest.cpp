#include "MultiByteText.h"

#include <clocale>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

// "\x81\x5C" and "\x81\x7C" are GBK characters whose second byte is '\' and '|'.
constexpr char kPathWithTrailBackslash[] = "a\x81\\b\\c";

std::size_t DoubleByteRule(const char* text, std::size_t) {
    return static_cast<unsigned char>(*text) >= 0x81 && static_cast<unsigned char>(*text) <= 0xFE ? 2 : 1;
}

void ExpectDoubleByteSearches() {
    EXPECT_EQ(mbtext::FindFirst(kPathWithTrailBackslash, '\\'), 4U);
    EXPECT_EQ(mbtext::FindLast("a\\b\x81\\", '\\'), 1U);
    EXPECT_EQ(mbtext::FindFirstOf("x\x81|y|", "|\\"), 4U);

    char copy[8] = {};
    // The lead byte at the end of the range is left out rather than split from its trail byte.
    EXPECT_EQ(mbtext::CopyWholeCharacters(copy, "ab\x81\\", 3), 2U);
    EXPECT_EQ(std::string(copy), "ab");
    EXPECT_EQ(mbtext::CopyWholeCharacters(copy, "ab\x81\\", 4), 4U);

    char reversed[] = "a\x81\\b";
    EXPECT_STREQ(mbtext::ReverseInPlace(reversed), "b\x81\\a");
}

TEST(MultiByteText, ByteSearchesInUtf8AndTheCLocale) {
    EXPECT_EQ(mbtext::FindFirst(kPathWithTrailBackslash, '\\'), 2U);
    EXPECT_EQ(mbtext::FindFirstOf("x|y\\", "\\|"), 1U);
    EXPECT_EQ(mbtext::FindFirstOf("xyz", "\\|"), std::string_view::npos);
    char copy[8] = {};
    EXPECT_EQ(mbtext::CopyWholeCharacters(copy, "ab\0cd", 5), 2U);
}

TEST(MultiByteText, DoubleByteRuleForTesting) {
    mbtext::SetCharLengthRuleForTesting(DoubleByteRule);
    ExpectDoubleByteSearches();
    mbtext::SetCharLengthRuleForTesting(nullptr);
}

TEST(MultiByteText, RealDoubleByteLocale) {
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    if (std::setlocale(LC_CTYPE, "zh_CN.GBK") == nullptr &&
        std::setlocale(LC_CTYPE, "zh_CN.gbk") == nullptr) {
        GTEST_SKIP() << "no GBK locale here (scripts/install-deps.sh makes one)";
    }
    ExpectDoubleByteSearches();
    std::setlocale(LC_CTYPE, previous.c_str());
}

} // namespace
