// larkspur-reg run as a program, against the same store as the program's own code; and the
// headless converter taking its destination from what the tool stored.
#include "AppSettings.h"
#include "Registry.h"
#include "ScopedXdgEnvironment.h"

#include <cctype>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <ostream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A test name for a case of a table: its number, then the letters and digits of `text`.
std::string CaseName(std::size_t index, const std::string& text) {
    std::string name = std::to_string(index) + "_";
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += c;
        }
    }
    return name;
}

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Starts a program with this process's environment, its output going to two files.
pid_t Start(const std::string& program, const std::vector<std::string>& arguments, const fs::path& outFile,
            const fs::path& errFile) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class RegistryToolTest : public testing::Test {
protected:
    ProgramRun Tool(const std::vector<std::string>& arguments) {
        return RunProgram(LARKSPUR_REG_BINARY, arguments);
    }

    ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
        const fs::path out = environment_.Root() / "out.txt";
        const fs::path err = environment_.Root() / "err.txt";
        ProgramRun run;
        run.status = WaitFor(Start(program, arguments, out, err));
        run.out = ReadFile(out);
        run.err = ReadFile(err);
        return run;
    }

    static DWORD StoredType(const char* path, const char* name) {
        HKEY key = nullptr;
        DWORD type = REG_NONE;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            RegQueryValueExA(key, name, nullptr, &type, nullptr, nullptr);
            RegCloseKey(key);
        }
        return type;
    }

    ScopedXdgEnvironment environment_;
};

struct TypedCase {
    const char* type; // nullptr: the default type
    const char* data;
    DWORD storedType;
    const char* shown;
};

void PrintTo(const TypedCase& c, std::ostream* out) {
    *out << (c.type != nullptr ? c.type : "default type") << " \"" << c.data << '"';
}

class RegistryToolTypes : public RegistryToolTest, public testing::WithParamInterface<TypedCase> {};

TEST_P(RegistryToolTypes, SetStoresTheTypeAndQueryShowsTheData) {
    const TypedCase& c = GetParam();
    std::vector<std::string> arguments{"set", "HKCU\\Software\\Tool\\Deep", "v"};
    if (c.type != nullptr) {
        arguments.insert(arguments.end(), {"--type", c.type});
    }
    arguments.emplace_back(c.data);
    ASSERT_EQ(Tool(arguments).status, 0);
    EXPECT_EQ(StoredType("Software\\Tool\\Deep", "v"), c.storedType);
    const ProgramRun query = Tool({"query", "HKEY_CURRENT_USER\\software\\tool\\deep", "V"});
    EXPECT_EQ(query.status, 0) << query.err;
    EXPECT_EQ(query.out, std::string(c.shown) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Types, RegistryToolTypes,
                         testing::Values(TypedCase{nullptr, "C:\\Music \"x\"", REG_SZ, "C:\\Music \"x\""},
                                         TypedCase{"REG_EXPAND_SZ", "$HOME/wav", REG_EXPAND_SZ, "$HOME/wav"},
                                         TypedCase{"reg_dword", "0x2a", REG_DWORD, "42"},
                                         TypedCase{"REG_DWORD", "4294967295", REG_DWORD, "4294967295"},
                                         TypedCase{"REG_BINARY", "01,ff 00", REG_BINARY, "01ff00"},
                                         TypedCase{"REG_SZ", "", REG_SZ, ""}),
                         [](const testing::TestParamInfo<TypedCase>& typed) {
                             return CaseName(typed.index,
                                             typed.param.type != nullptr ? typed.param.type : "default");
                         });

TEST_F(RegistryToolTest, ListingAndExportOfATree) {
    ASSERT_EQ(Tool({"set", "HKCU\\Software\\Tool", "", "top \"quoted\" \\ text"}).status, 0);
    ASSERT_EQ(Tool({"set", "HKCU\\Software\\Tool", "Count", "--type", "REG_DWORD", "7"}).status, 0);
    ASSERT_EQ(Tool({"set", "HKCU\\Software\\Tool\\b", "raw", "--type", "REG_BINARY", "00ff"}).status, 0);
    ASSERT_EQ(Tool({"set", "HKCU\\Software\\Tool\\a", "x", "--type=REG_EXPAND_SZ", "e"}).status, 0);

    const ProgramRun query = Tool({"query", "HKCU\\Software\\Tool"});
    EXPECT_EQ(query.status, 0);
    EXPECT_EQ(query.out, "HKEY_CURRENT_USER\\Software\\Tool\n"
                         "    (Default)    REG_SZ    top \"quoted\" \\ text\n"
                         "    Count    REG_DWORD    7\n"
                         "\n"
                         "HKEY_CURRENT_USER\\Software\\Tool\\a\n"
                         "HKEY_CURRENT_USER\\Software\\Tool\\b\n");

    const ProgramRun exported = Tool({"export", "HKCU\\Software\\Tool"});
    EXPECT_EQ(exported.status, 0);
    EXPECT_EQ(exported.out, "Windows Registry Editor Version 5.00\n"
                            "\n"
                            "[HKEY_CURRENT_USER\\Software\\Tool]\n"
                            "@=\"top \\\"quoted\\\" \\\\ text\"\n"
                            "\"Count\"=dword:00000007\n"
                            "\n"
                            "[HKEY_CURRENT_USER\\Software\\Tool\\a]\n"
                            "\"x\"=hex(2):65,00\n"
                            "\n"
                            "[HKEY_CURRENT_USER\\Software\\Tool\\b]\n"
                            "\"raw\"=hex:00,ff\n"
                            "\n");

    const ProgramRun everything = Tool({"export"});
    EXPECT_EQ(everything.status, 0);
    EXPECT_NE(everything.out.find("\n[HKEY_CURRENT_USER\\Software\\Tool\\b]\n"), std::string::npos);
    EXPECT_NE(everything.out.find("\n[HKEY_LOCAL_MACHINE]\n"), std::string::npos);
}

TEST_F(RegistryToolTest, DeleteAValueOrAWholeKey) {
    ASSERT_EQ(Tool({"set", "HKCU\\Software\\Tool\\a\\b", "v", "1"}).status, 0);
    ASSERT_EQ(Tool({"set", "HKCU\\Software\\Tool", "w", "2"}).status, 0);
    EXPECT_EQ(Tool({"delete", "HKCU\\Software\\Tool", "w"}).status, 0);
    EXPECT_EQ(Tool({"query", "HKCU\\Software\\Tool", "w"}).status, 1);
    EXPECT_EQ(Tool({"delete", "HKCU\\Software\\Tool"}).status, 0);
    EXPECT_EQ(Tool({"query", "HKCU\\Software\\Tool\\a\\b"}).status, 1);
    EXPECT_EQ(Tool({"query", "HKCU\\Software"}).status, 0);
}

struct FailureCase {
    std::vector<std::string> arguments;
    int status;
    const char* message;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    for (const std::string& argument : c.arguments) {
        *out << '"' << argument << "\" ";
    }
}

class RegistryToolFailures : public RegistryToolTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(RegistryToolFailures, ExitStatusAndMessage) {
    const ProgramRun run = Tool(GetParam().arguments);
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_TRUE(run.err.starts_with("larkspur-reg: ")) << run.err;
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryToolFailures,
    testing::Values(
        FailureCase{{"query", "HKCU\\Missing"}, 1, "HKEY_CURRENT_USER\\Missing does not exist"},
        FailureCase{{"query", "HKCU", "missing"}, 1, "\"missing\" of HKEY_CURRENT_USER does not exist"},
        FailureCase{{"delete", "HKLM\\Missing"}, 1, "does not exist"},
        FailureCase{{"delete", "HKCU", "missing"}, 1, "does not exist"},
        FailureCase{{"query", "HKXX\\Software"}, 2, "does not start with HKCU"},
        FailureCase{{"query", "HKCU\\\\Software"}, 2, "empty name"},
        FailureCase{{"frob"}, 2, "unknown command frob"}, FailureCase{{}, 2, "no command"},
        FailureCase{{"set", "HKCU\\a", "b"}, 2, "wrong number of arguments for set"},
        FailureCase{{"set", "HKCU\\a", "b", "--type", "REG_DWORD", "-5"}, 2, "is no REG_DWORD"},
        FailureCase{{"set", "HKCU\\a", "b", "--type", "REG_DWORD", "4294967296"}, 2, "is no REG_DWORD"},
        FailureCase{{"set", "HKCU\\a", "b", "--type", "REG_BINARY", "abc"}, 2, "is no REG_BINARY"},
        FailureCase{{"set", "HKCU\\a", "b", "--type", "REG_MULTI_SZ", "x"}, 2, "unknown type"},
        FailureCase{{"query", "HKCU", "--type", "REG_SZ"}, 2, "--type belongs to set"},
        FailureCase{{"delete", "HKCU"}, 2, "a root cannot be deleted"}),
    [](const testing::TestParamInfo<FailureCase>& failure) {
        std::string arguments;
        for (const std::string& argument : failure.param.arguments) {
            arguments += argument + " ";
        }
        return CaseName(failure.index, arguments);
    });

TEST_F(RegistryToolTest, ToolAndProgramShareTheStore) {
    ASSERT_EQ(Tool({"set", "HKCU\\SoftWare\\Larkspur\\Larkspur", "Priority", "4"}).status, 0);
    AppSettings settings;
    settings.LoadSettings();
    EXPECT_EQ(settings.Priority, 4);
    settings.sWavLoc = "/from/the/program";
    settings.RunAtStartup = FALSE;
    settings.SaveSettings();
    EXPECT_EQ(Tool({"query", "HKCU\\Software\\Larkspur\\Larkspur", "sWavLoc"}).out, "/from/the/program\n");
}

TEST_F(RegistryToolTest, ManyToolsWritingAtOnceLoseNothing) {
    constexpr int kRounds = 4;
    constexpr int kAtOnce = 8;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<pid_t> tools;
        for (int i = 0; i < kAtOnce; ++i) {
            const std::string name = "r" + std::to_string(round) + "t" + std::to_string(i);
            const fs::path log = environment_.Root() / (name + ".log");
            tools.push_back(
                Start(LARKSPUR_REG_BINARY, {"set", "HKCU\\Software\\Parallel", name, name}, log, log));
        }
        for (const pid_t tool : tools) {
            EXPECT_EQ(WaitFor(tool), 0);
        }
    }
    const ProgramRun query = Tool({"query", "HKCU\\Software\\Parallel"});
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < kAtOnce; ++i) {
            const std::string name = "r" + std::to_string(round) + "t" + std::to_string(i);
            EXPECT_NE(query.out.find("    " + name + "    REG_SZ    " + name + "\n"), std::string::npos)
                << name;
        }
    }
}

TEST_F(RegistryToolTest, ConverterTakesItsDefaultFolderFromTheSettings) {
    const fs::path source = environment_.Root() / "song.mp3";
    fs::copy_file(fs::path(LARKSPUR_FIXTURES_DIR) / "cbr-stereo.mp3", source);
    const fs::path stored = environment_.Root() / "stored folder";
    const fs::path named = environment_.Root() / "named";
    ASSERT_EQ(Tool({"set", "HKCU\\SoftWare\\Larkspur\\Larkspur", "iWavLoc", "1"}).status, 0);
    ASSERT_EQ(Tool({"set", "HKCU\\SoftWare\\Larkspur\\Larkspur", "sWavLoc", stored.string()}).status, 0);

    const ProgramRun fromSettings = RunProgram(LARKSPUR_CONVERT_BINARY, {source.string()});
    EXPECT_EQ(fromSettings.status, 0) << fromSettings.err;
    EXPECT_TRUE(fs::exists(stored / "song.wav"));
    EXPECT_FALSE(fs::exists(environment_.Root() / "song.wav"));

    const ProgramRun overridden =
        RunProgram(LARKSPUR_CONVERT_BINARY, {"-o", named.string(), source.string()});
    EXPECT_EQ(overridden.status, 0) << overridden.err;
    EXPECT_TRUE(fs::exists(named / "song.wav"));

    ASSERT_EQ(Tool({"set", "HKCU\\SoftWare\\Larkspur\\Larkspur", "iWavLoc", "0"}).status, 0);
    const ProgramRun beside = RunProgram(LARKSPUR_CONVERT_BINARY, {source.string()});
    EXPECT_EQ(beside.status, 0) << beside.err;
    EXPECT_TRUE(fs::exists(environment_.Root() / "song.wav"));
}

} // namespace
