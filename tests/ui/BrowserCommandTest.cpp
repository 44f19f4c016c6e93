#include "BrowserCommand.h"

#include "MultiByteText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

const std::string kUrl = "https://example.org/a b?x=1;rm -rf ~&y=$(id)|`id`'\"";

struct BrowserCase {
    const char* name;
    const char* registered;
    Words expected; // without the address, which every non-empty result ends with
};

class BrowserArgumentsTest : public testing::TestWithParam<BrowserCase> {};

TEST_P(BrowserArgumentsTest, CutsAtThePlaceholderAndAppendsTheAddressAsOneWord) {
    const BrowserCase& c = GetParam();
    Words expected = c.expected;
    if (!expected.empty()) {
        expected.push_back(kUrl);
    }
    EXPECT_EQ(BrowserArguments(c.registered, kUrl), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, BrowserArgumentsTest,
    testing::Values(
        BrowserCase{"QuotedPlaceholder", "\"/usr/bin/browser\" \"%1\"", {"/usr/bin/browser"}},
        BrowserCase{"BarePlaceholder", "/usr/bin/browser -new %1 --ignored", {"/usr/bin/browser", "-new"}},
        BrowserCase{"QuotedSearchedFirst", "browser %1x \"%1\"", {"browser", "%1x"}},
        BrowserCase{"NoPlaceholder", "/usr/bin/browser --new-window", {"/usr/bin/browser", "--new-window"}},
        BrowserCase{
            "BlanksInQuotedProgram", "\"/opt/My Browser/run\"\t-x \"%1\"", {"/opt/My Browser/run", "-x"}},
        BrowserCase{"EmptyCommand", "", {}}, BrowserCase{"OnlyThePlaceholder", "  \"%1\"", {}}),
    [](const testing::TestParamInfo<BrowserCase>& testCase) { return std::string(testCase.param.name); });

TEST(SplitCommandWordsTest, QuotesGroupAndAreRemoved) {
    EXPECT_EQ(SplitCommandWords("  a\"b c\"d  \"\" e"), (Words{"ab cd", "", "e"}));
    EXPECT_EQ(SplitCommandWords("run \"unterminated quote"), (Words{"run", "unterminated quote"}));
}

// In a double-byte character set a trail byte may equal '%' or '"'; it must not be taken for one.
std::size_t DoubleByteRule(const char* text, std::size_t available) {
    return (static_cast<unsigned char>(*text) >= 0x81 && available >= 2) ? 2 : 1;
}

TEST(BrowserArgumentsDoubleByteTest, TrailBytesAreNeitherPlaceholderNorQuote) {
    mbtext::SetCharLengthRuleForTesting(DoubleByteRule);
    EXPECT_EQ(BrowserArguments("/opt/\x81%1 -a %1", "u"), (Words{"/opt/\x81%1", "-a", "u"}));
    EXPECT_EQ(BrowserArguments("/opt/\x81\" -b", "u"), (Words{"/opt/\x81\"", "-b", "u"}));
    mbtext::SetCharLengthRuleForTesting(nullptr);
}

} // namespace
