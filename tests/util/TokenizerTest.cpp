#include "Tokenizer.h"

#include "MultiByteText.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct SplitCase {
    const char* text;
    const char* delimiters;
    int count;
    std::vector<std::string> slots; // every slot the walk filled, then one more that must be ""
};

void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << '"' << c.text << "\" split at \"" << c.delimiters << '"';
}

class TokenizerSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(TokenizerSplit, CountsAndSlots) {
    const SplitCase& c = GetParam();
    CTokenizer tokenizer(nullptr);
    EXPECT_EQ(tokenizer.Split(c.text, c.delimiters), c.count);
    for (std::size_t i = 0; i < c.slots.size(); ++i) {
        EXPECT_STREQ(tokenizer.GetItem(static_cast<int>(i)), c.slots[i].c_str()) << "slot " << i;
    }
    EXPECT_STREQ(tokenizer.GetItem(static_cast<int>(c.slots.size())), "");
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TokenizerSplit,
    testing::Values(SplitCase{"a|b|c", "|", 3, {"a", "b", "c"}}, SplitCase{"a|b|", "|", 2, {"a", "b"}},
                    SplitCase{"a|b||c", "|", 3, {"a", "b", "", "c"}}, SplitCase{"|a", "|", 1, {"", "a"}},
                    SplitCase{"", "|", 0, {}}, SplitCase{"abc", "|", 1, {"abc"}},
                    SplitCase{"C:\\dir\\sub", "\\", 3, {"C:", "dir", "sub"}},
                    SplitCase{"\\\\server\\share\\dir", "\\", 4, {"", "", "server", "share", "dir"}},
                    SplitCase{"a,b c", ", ", 3, {"a", "b", "c"}}, SplitCase{"|||", "|", 3, {"", "", ""}}));

TEST(Tokenizer, SlotsBeyondTheWalkAreEmptyNotNull) {
    CTokenizer tokenizer("|");
    EXPECT_STREQ(tokenizer.GetItem(0), "");
    tokenizer.Split("a", nullptr);
    EXPECT_STREQ(tokenizer.GetItem(1), "");
    EXPECT_STREQ(tokenizer.GetItem(CTokenizer::kMaxTokens - 1), "");
    EXPECT_STREQ(tokenizer.GetItem(CTokenizer::kMaxTokens), "")
        << "one past the slots, as a walk to count + 1 asks";
    EXPECT_STREQ(tokenizer.GetItem(-1), "");
}

TEST(Tokenizer, SecondSplitClearsTheFirstOnesSlots) {
    CTokenizer tokenizer("|");
    ASSERT_EQ(tokenizer.Split("a|b|c|d", nullptr), 4);
    EXPECT_EQ(tokenizer.Split("x", nullptr), 1);
    EXPECT_STREQ(tokenizer.GetItem(0), "x");
    EXPECT_STREQ(tokenizer.GetItem(2), "");
    EXPECT_STREQ(tokenizer.GetItem(3), "");
}

TEST(Tokenizer, NullDelimitersKeepTheCurrentSet) {
    CTokenizer fromConstructor("\\");
    EXPECT_EQ(fromConstructor.Split("a\\b|c", nullptr), 2);
    EXPECT_STREQ(fromConstructor.GetItem(1), "b|c");

    CTokenizer fromPreviousSplit(nullptr);
    fromPreviousSplit.Split("x", "|");
    EXPECT_EQ(fromPreviousSplit.Split("a\\b|c", nullptr), 2);
    EXPECT_STREQ(fromPreviousSplit.GetItem(0), "a\\b");
}

TEST(Tokenizer, NullTextGivesNothingAndClearsSlots) {
    CTokenizer tokenizer("|");
    tokenizer.Split("a|b", nullptr);
    EXPECT_EQ(tokenizer.Split(nullptr, nullptr), 0);
    EXPECT_STREQ(tokenizer.GetItem(0), "");
}

TEST(Tokenizer, TakesAtMost1024TokensAndIgnoresTheRest) {
    std::string text;
    for (int i = 1; i <= 2001; ++i) {
        text += "t" + std::to_string(i) + (i < 2001 ? "|" : "");
    }
    CTokenizer tokenizer(nullptr);
    EXPECT_EQ(tokenizer.Split(text.c_str(), "|"), 1024);
    EXPECT_STREQ(tokenizer.GetItem(1023), "t1024");

    const std::string delimitersOnly(2000, '|');
    EXPECT_EQ(tokenizer.Split(delimitersOnly.c_str(), "|"), 1024);
}

TEST(Tokenizer, MaximumBelowCapacityLimitsTheSlots) {
    CTokenizer tokenizer(nullptr);
    EXPECT_EQ(tokenizer.Split(2, "a|b|c", "|"), 2);
    EXPECT_STREQ(tokenizer.GetItem(1), "b");
    EXPECT_STREQ(tokenizer.GetItem(2), "");
    EXPECT_EQ(tokenizer.Split(5000, "a|b", "|"), 2);
}

// Bytes 0x81 to 0xFE start a two-byte character, as in GBK and Big5.
std::size_t DoubleByteRule(const char* text, std::size_t) {
    return static_cast<unsigned char>(*text) >= 0x81 && static_cast<unsigned char>(*text) <= 0xFE ? 2 : 1;
}

TEST(Tokenizer, DoubleByteCharacterEndingInTheDelimiterByteStaysWhole) {
    mbtext::SetCharLengthRuleForTesting(DoubleByteRule);
    CTokenizer tokenizer("\\");
    const int count = tokenizer.Split("C:\\\x95\\\x81|\\dir", nullptr);
    const std::string first = tokenizer.GetItem(1);
    const std::string second = tokenizer.GetItem(2);
    mbtext::SetCharLengthRuleForTesting(nullptr);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(first, "\x95\\\x81|");
    EXPECT_EQ(second, "dir");
}

} // namespace
