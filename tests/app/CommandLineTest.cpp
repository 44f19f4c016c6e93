#include "CommandLine.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

struct CommandLineCase {
    const char* name;
    std::vector<const char*> arguments;
    StartRequest request;
    std::string text;
};

class CommandLineJoin : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineJoin, GivesTheTextThatIsHandedOver) {
    CommandLine commandLine = ParseCommandLine(GetParam().arguments, "/home/u/Music");
    EXPECT_EQ(commandLine.request, GetParam().request);
    EXPECT_EQ(commandLine.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineJoin,
    testing::Values(
        CommandLineCase{"Nothing", {}, StartRequest::Run, ""},
        CommandLineCase{"OnlyEmpties", {"", ""}, StartRequest::Run, ""},
        CommandLineCase{"AbsolutePath", {"/srv/a b.mp3"}, StartRequest::Run, "/srv/a b.mp3"},
        CommandLineCase{"RelativePaths",
                        {"a.mp3", "", "../b.mp3"},
                        StartRequest::Run,
                        "/home/u/Music/a.mp3|/home/u/Music/../b.mp3"},
        CommandLineCase{"QuotedRelativePath", {"\"a.mp3\""}, StartRequest::Run, "\"/home/u/Music/a.mp3\""},
        CommandLineCase{"OnlyQuotes", {"\"\""}, StartRequest::Run, "\"\""},
        CommandLineCase{"KeywordInCapitals", {"-UNREGISTER"}, StartRequest::Run, "-UNREGISTER"},
        CommandLineCase{"Startup", {"-startup"}, StartRequest::Run, "-startup"},
        CommandLineCase{
            "KeywordWithTrailingBlankIsAFile", {"-startup "}, StartRequest::Run, "/home/u/Music/-startup "},
        CommandLineCase{"KeywordAmongFilesIsAFile",
                        {"-startup", "/a.mp3"},
                        StartRequest::Run,
                        "/home/u/Music/-startup|/a.mp3"},
        CommandLineCase{"Help", {"--help", "a.mp3"}, StartRequest::Help, ""},
        CommandLineCase{"Version", {"--version"}, StartRequest::Version, ""},
        CommandLineCase{
            "HelpAfterAFileIsAFile", {"/a.mp3", "--help"}, StartRequest::Run, "/a.mp3|/home/u/Music/--help"}),
    [](const testing::TestParamInfo<CommandLineCase>& param) { return std::string(param.param.name); });

TEST(CommandLine, AnArgumentHoldingTheDelimiterIsRefusedAndNamed) {
    std::vector<const char*> arguments{"/ok.mp3", "/odd|name.mp3", "/later|too.mp3"};
    CommandLine commandLine = ParseCommandLine(arguments, "/");
    EXPECT_EQ(commandLine.request, StartRequest::Refused);
    EXPECT_EQ(commandLine.refusedArgument, "/odd|name.mp3");
    EXPECT_EQ(commandLine.text, "");
}

TEST(CommandLine, KeywordsMatchTheWholeTextInAnyCase) {
    EXPECT_TRUE(IsCommandLineKeyword("-unregister", kUnregisterKeyword));
    EXPECT_TRUE(IsCommandLineKeyword("-UnRegister", kUnregisterKeyword));
    EXPECT_FALSE(IsCommandLineKeyword("-unregister ", kUnregisterKeyword));
    EXPECT_FALSE(IsCommandLineKeyword("-unregiste", kUnregisterKeyword));
    EXPECT_FALSE(IsCommandLineKeyword("", kStartupKeyword));
}

} // namespace
