#include "DesktopEntry.h"

#include "ScopedXdgEnvironment.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Reads an Exec value back the way a desktop does: first the string escapes of the file, then
// the quoting of the arguments, then "%%".
std::vector<std::string> ParseExec(const std::string& value) {
    std::string unescaped;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            unescaped += next == 's'   ? ' '
                         : next == 'n' ? '\n'
                         : next == 't' ? '\t'
                         : next == 'r' ? '\r'
                                       : next;
        } else {
            unescaped += value[i];
        }
    }
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false;
    bool inArgument = false;
    for (std::size_t i = 0; i < unescaped.size(); ++i) {
        const char ch = unescaped[i];
        if (quoted && ch == '\\' && i + 1 < unescaped.size()) {
            current += unescaped[++i];
        } else if (ch == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (ch == ' ' && !quoted) {
            if (inArgument) {
                arguments.push_back(current);
            }
            current.clear();
            inArgument = false;
        } else if (ch == '%' && i + 1 < unescaped.size() && unescaped[i + 1] == '%') {
            current += '%';
            ++i;
            inArgument = true;
        } else {
            current += ch;
            inArgument = true;
        }
    }
    if (inArgument) {
        arguments.push_back(current);
    }
    return arguments;
}

std::string ExecLine(const std::string& file) {
    const std::size_t start = file.find("\nExec=") + 6;
    return file.substr(start, file.find('\n', start) - start);
}

TEST(DesktopEntry, ExecQuotingOnlyWhereNeeded) {
    EXPECT_EQ(QuoteExecArgument("/usr/bin/larkspur"), "/usr/bin/larkspur");
    EXPECT_EQ(QuoteExecArgument("/opt/My Tools/larkspur"), "\"/opt/My Tools/larkspur\"");
    EXPECT_EQ(QuoteExecArgument("/a$b`c\"d\\e"), "\"/a\\$b\\`c\\\"d\\\\e\"");
    EXPECT_EQ(QuoteExecArgument("/100%/x"), "/100%%/x");
    EXPECT_EQ(QuoteExecArgument(""), "\"\"");
}

TEST(DesktopEntry, AwkwardProgramPathsComeBackWholeFromTheFile) {
    for (const std::string path : {"/usr/bin/larkspur", "/opt/My Tools/lark spur", "/x/a\\b", "/x/$HOME/`id`",
                                   "/x/it's \"quoted\"", "/x/100%", "/x/tab\there", " /leading blank"}) {
        DesktopEntry entry;
        entry.name = "Larkspur";
        entry.exec = QuoteExecArgument(path) + " -startup";
        const std::vector<std::string> arguments = ParseExec(ExecLine(FormatDesktopEntry(entry)));
        ASSERT_EQ(arguments.size(), 2U) << path;
        EXPECT_EQ(arguments[0], path);
        EXPECT_EQ(arguments[1], "-startup");
    }
}

TEST(DesktopEntry, FileHoldsTheKeysInItsGroup) {
    DesktopEntry entry;
    entry.name = "Make WAV File...";
    entry.comment = " two\nlines";
    entry.exec = "larkspur %f";
    entry.icon = "larkspur";
    entry.mimeTypes = "audio/mpeg;";
    entry.noDisplay = true;
    EXPECT_EQ(FormatDesktopEntry(entry), "[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Make WAV File...\n"
                                         "Comment=\\stwo\\nlines\n"
                                         "Exec=larkspur %f\n"
                                         "Icon=larkspur\n"
                                         "MimeType=audio/mpeg;\n"
                                         "NoDisplay=true\n");
}

TEST(DesktopEntry, WriteReplacesInOneStepAndLeavesNoTemporaryFile) {
    ScopedXdgEnvironment environment;
    const std::filesystem::path folder = environment.DataHome() / "applications" / "new";
    const std::string path = (folder / "entry.desktop").string();
    DesktopEntry entry;
    entry.name = "First";
    entry.exec = "first";
    ASSERT_TRUE(WriteDesktopEntry(path, entry));
    entry.name = "Second";
    ASSERT_TRUE(WriteDesktopEntry(path, entry));

    std::ifstream in(path);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(text, FormatDesktopEntry(entry));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0644));

    EXPECT_TRUE(RemoveDesktopEntry(path));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(RemoveDesktopEntry(path));
    EXPECT_FALSE(WriteDesktopEntry("/dev/null/entry.desktop", entry));
}

} // namespace
