// Runs the real program: first copies, second starts, "-unregister", many starts at once, and the
// stand-in that keeps the program reachable until a notification area appears.
#include "ChildProcess.h"
#include "RegistryKey.h"
#include "ScopedXdgEnvironment.h"
#include "WavFile.h"
#include "Window.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr char kSettingsKey[] = "SoftWare\\Larkspur\\Larkspur";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool Found(const std::string& program) {
    ChildProcess which("/usr/bin/which", {program}, {}, {}, "/dev/null");
    return which.WaitForExit() == 0;
}

class LarkspurProgram : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(Music());
        fs::create_directories(Output());
        UseSettings(true);
    }

    void TearDown() override {
        if (m_firstCopy && m_firstCopy->Running()) {
            HWND window = FindWindowA(nullptr, "Larkspur!");
            PostMessageA(window, WM_CLOSE, 0, 0);
            // A clean end: no crash, no sanitizer report at exit.
            EXPECT_EQ(m_firstCopy->WaitForExit(), 0);
        }
    }

    fs::path Music() const { return m_environment.Root() / "music"; }
    fs::path Output() const { return m_environment.Root() / "wav"; }
    fs::path SocketPath() const { return m_environment.RuntimeDir() / "larkspur" / "Larkspur%21.window"; }
    fs::path VerbDesktopEntry() const {
        return m_environment.DataHome() / "applications" / "larkspur-make-wav-file.desktop";
    }
    fs::path AutostartEntry() const { return m_environment.ConfigHome() / "autostart" / "larkspur.desktop"; }

    // WAV files go to Output(); jobs run at once (async) or one after the other.
    static void UseSettings(bool async) {
        CRegistryKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kSettingsKey));
        key.WriteNumber("iWavLoc", 1);
        key.WriteNumber("Async", async ? 1 : 0);
        key.Close();
    }
    void SetUpOutputFolder() {
        CRegistryKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kSettingsKey));
        key.WriteString("sWavLoc", Output().c_str());
    }

    std::string Mp3(const std::string& name) const {
        fs::path path = Music() / (name + ".mp3");
        if (!fs::exists(path))
            fs::copy_file(fs::path(LARKSPUR_FIXTURES_DIR) / "cbr-stereo.mp3", path);
        return path.string();
    }
    bool Converted(const std::string& name) const {
        return ReadWavLayout((Output() / (name + ".wav")).string()).has_value();
    }
    std::set<std::string> OutputFiles() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Output()))
            names.insert(entry.path().filename().string());
        return names;
    }

    // A start of the program; a later start runs without any display.
    std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& arguments, bool withDisplay,
                                        const std::string& workingFolder = {},
                                        const std::string& output = {}) {
        ChildProcess::EnvironmentChanges changes{{"DISPLAY", std::nullopt},
                                                 {"WAYLAND_DISPLAY", std::nullopt}};
        changes["QT_QPA_PLATFORM"] = withDisplay ? std::optional<std::string>("offscreen") : std::nullopt;
        return std::make_unique<ChildProcess>(LARKSPUR_BINARY, arguments, changes, workingFolder, output);
    }

    void StartFirstCopy(const std::vector<std::string>& arguments = {}) {
        SetUpOutputFolder();
        m_firstCopy = Start(arguments, true);
        ASSERT_TRUE(Eventually([&] { return fs::exists(SocketPath()); })) << "the first copy did not come up";
    }

    // A later start that must end by itself, successfully and quickly.
    void SecondStart(const std::vector<std::string>& arguments, const std::string& workingFolder = {}) {
        auto second = Start(arguments, false, workingFolder);
        EXPECT_EQ(second->WaitForExit(), 0);
        EXPECT_TRUE(m_firstCopy->Running());
    }

    static bool HasVerbKey() {
        CRegistryKey key;
        return key.Open(HKEY_CLASSES_ROOT, ".mp3\\Shell\\Larkspur\\Command") != FALSE;
    }
    static bool HasRunValue() {
        CRegistryKey key;
        char value[1025] = {};
        return key.Open(HKEY_CURRENT_USER, kRunKey) && key.ReadString("Larkspur", value, 1024);
    }

    ScopedXdgEnvironment m_environment;
    std::unique_ptr<ChildProcess> m_firstCopy;
};

TEST_F(LarkspurProgram, AFirstStartWithAFileConvertsItAndOffersTheVerb) {
    StartFirstCopy({Mp3("first")});
    EXPECT_TRUE(Eventually([&] { return Converted("first"); }));

    CRegistryKey key;
    char command[1025] = {};
    ASSERT_TRUE(key.Open(HKEY_CLASSES_ROOT, ".mp3\\Shell\\Larkspur\\Command"));
    ASSERT_TRUE(key.ReadString("", command, 1024));
    EXPECT_EQ(std::string(command), "\"" + fs::canonical(LARKSPUR_BINARY).string() + "\" \"%1\"");
    std::ifstream entry(VerbDesktopEntry());
    std::stringstream text;
    text << entry.rdbuf();
    EXPECT_NE(text.str().find("\nName=Make WAV File...\n"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("\nMimeType=audio/mpeg;\n"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find(" %f\n"), std::string::npos) << text.str();
}

TEST_F(LarkspurProgram, LaterStartsHandTheirFilesOverWithoutADisplay) {
    StartFirstCopy();
    SecondStart({"\"" + Mp3("quoted") + "\""});
    EXPECT_TRUE(Eventually([&] { return Converted("quoted"); }));

    // A relative path names the file in the folder of the start, not of the running copy.
    Mp3("relative");
    SecondStart({"relative.mp3"}, Music().string());
    EXPECT_TRUE(Eventually([&] { return Converted("relative"); }));

    // An empty command line leaves the mailbox alone and changes nothing.
    SecondStart({""});
    SecondStart({});
    EXPECT_FALSE(fs::exists(m_environment.RuntimeDir() / "larkspur" / "clipboard-C000.block"));
    EXPECT_EQ(OutputFiles(), (std::set<std::string>{"quoted.wav", "relative.wav"}));
}

TEST_F(LarkspurProgram, ThreeQuickSendersGiveThreeJobsInTheirOrder) {
    UseSettings(false); // one job after the other, so the order shows in the files' completion
    StartFirstCopy();
    for (const char* name : {"one", "two", "three"})
        SecondStart({Mp3(name)});
    std::vector<std::string> completed;
    EXPECT_TRUE(Eventually([&] {
        for (const char* name : {"one", "two", "three"}) {
            if (Converted(name) && std::find(completed.begin(), completed.end(), name) == completed.end())
                completed.push_back(name);
        }
        return completed.size() == 3;
    }));
    EXPECT_EQ(completed, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(OutputFiles().size(), 3u);
}

TEST_F(LarkspurProgram, UnregisterEndsTheRunningCopyAndRemovesItsEntries) {
    StartFirstCopy();
    // The start-up entries as saving the settings leaves them.
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kRunKey));
        key.WriteString("Larkspur", (std::string(LARKSPUR_BINARY) + " -startup").c_str());
    }
    fs::create_directories(AutostartEntry().parent_path());
    std::ofstream(AutostartEntry())
        << "[Desktop Entry]\nType=Application\nName=Larkspur\nExec=larkspur -startup\n";
    ASSERT_TRUE(HasVerbKey() && HasRunValue() && fs::exists(VerbDesktopEntry()));

    auto unregister = Start({"-UNREGISTER"}, false);
    EXPECT_EQ(unregister->WaitForExit(), 0);
    EXPECT_EQ(m_firstCopy->WaitForExit(), 0) << "the running copy did not quit";
    EXPECT_FALSE(HasVerbKey());
    EXPECT_FALSE(HasRunValue());
    EXPECT_FALSE(fs::exists(VerbDesktopEntry()));
    EXPECT_FALSE(fs::exists(AutostartEntry()));

    // With no copy running it removes the same and starts nothing.
    fs::create_directories(VerbDesktopEntry().parent_path());
    std::ofstream(VerbDesktopEntry()) << "[Desktop Entry]\n";
    auto again = Start({"-unregister"}, false);
    EXPECT_EQ(again->WaitForExit(), 0);
    EXPECT_FALSE(fs::exists(VerbDesktopEntry()));
    EXPECT_FALSE(fs::exists(SocketPath()));
}

TEST_F(LarkspurProgram, TwentyStartsAtOnceGiveOneRunningCopyAndOneJobPerFile) {
    SetUpOutputFolder();
    std::vector<std::unique_ptr<ChildProcess>> starts;
    for (int index = 0; index < 20; ++index)
        starts.push_back(Start({Mp3("file" + std::to_string(index))}, true));
    std::set<std::string> expected;
    for (int index = 0; index < 20; ++index)
        expected.insert("file" + std::to_string(index) + ".wav");
    EXPECT_TRUE(Eventually([&] {
        int running = 0;
        for (auto& start : starts)
            running += start->Running();
        return running == 1;
    }));
    EXPECT_TRUE(Eventually([&] { return OutputFiles().size() >= 20; }));
    for (int index = 0; index < 20; ++index)
        EXPECT_TRUE(Eventually([&] { return Converted("file" + std::to_string(index)); })) << index;
    EXPECT_EQ(OutputFiles(), expected);

    for (auto& start : starts) {
        if (start->Running())
            m_firstCopy = std::move(start);
        else
            EXPECT_EQ(start->WaitForExit(0ms), 0);
    }
    ASSERT_NE(m_firstCopy, nullptr);
}

TEST_F(LarkspurProgram, HelpVersionAndUnsendableNamesLeaveTheRunningCopyAlone) {
    StartFirstCopy();
    std::string output = (m_environment.Root() / "output.txt").string();
    auto refused = Start({Mp3("fine"), "/music/odd|name.mp3"}, false, {}, output);
    EXPECT_EQ(refused->WaitForExit(), 2);
    std::ifstream message(output);
    std::string text((std::istreambuf_iterator<char>(message)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("/music/odd|name.mp3"), std::string::npos) << text;

    for (const char* request : {"--help", "--version"}) {
        auto start = Start({request}, false, {}, output);
        EXPECT_EQ(start->WaitForExit(), 0);
    }
    EXPECT_TRUE(m_firstCopy->Running());
    EXPECT_TRUE(OutputFiles().empty());
    EXPECT_FALSE(fs::exists(m_environment.RuntimeDir() / "larkspur" / "clipboard-C000.block"));
}

TEST_F(LarkspurProgram, WithNoCopyRunningAndNoDisplayAStartSaysSoAndFails) {
    SetUpOutputFolder();
    std::string output = (m_environment.Root() / "output.txt").string();
    auto start = Start({Mp3("nowhere")}, false, {}, output);
    EXPECT_EQ(start->WaitForExit(), 1);
    std::ifstream message(output);
    std::string text((std::istreambuf_iterator<char>(message)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("no display"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(SocketPath()));
}

// Under a real X server: no notification area at first, so the stand-in shows; once one
// appears, the stand-in goes. "-startup" from a later start shows and hides the window.
TEST_F(LarkspurProgram, WithoutATrayTheStandInKeepsTheProgramReachableUntilOneAppears) {
    for (const char* tool : {"Xvfb", "trayer", "xdotool"}) {
        if (!Found(tool))
            GTEST_SKIP() << tool
                         << " is not installed: the no-tray-then-tray case needs Xvfb, trayer and xdotool";
    }
    int display = 150 + static_cast<int>(getpid() % 100);
    while (fs::exists("/tmp/.X11-unix/X" + std::to_string(display)) ||
           fs::exists("/tmp/.X" + std::to_string(display) + "-lock"))
        ++display;
    std::string displayName = ":" + std::to_string(display);
    ChildProcess server("/usr/bin/Xvfb", {displayName, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {},
                        {}, "/dev/null");
    ChildProcess::EnvironmentChanges onDisplay{{"DISPLAY", displayName},
                                               {"QT_QPA_PLATFORM", "xcb"},
                                               {"WAYLAND_DISPLAY", std::nullopt},
                                               {"DBUS_SESSION_BUS_ADDRESS", std::nullopt},
                                               {"LSAN_OPTIONS", "suppressions=" LARKSPUR_LSAN_SUPPRESSIONS}};
    auto succeeds = [&](const std::vector<std::string>& command) {
        ChildProcess process(command.front(), {command.begin() + 1, command.end()}, onDisplay, {},
                             "/dev/null");
        return process.WaitForExit() == 0;
    };
    auto visibleWindow = [&] {
        return succeeds({"/usr/bin/xdotool", "search", "--onlyvisible", "--name", "^Larkspur!$"});
    };
    ASSERT_TRUE(Eventually([&] { return fs::exists("/tmp/.X11-unix/X" + std::to_string(display)); }, 10s));

    SetUpOutputFolder();
    m_firstCopy =
        std::make_unique<ChildProcess>(LARKSPUR_BINARY, std::vector<std::string>{}, onDisplay, std::string{},
                                       (m_environment.Root() / "larkspur.log").string());
    ASSERT_TRUE(Eventually([&] { return fs::exists(SocketPath()); }));
    EXPECT_TRUE(Eventually(visibleWindow, 20s)) << "no stand-in without a notification area";

    ChildProcess tray("/usr/bin/trayer", {"--edge", "bottom", "--align", "right", "--widthtype", "request"},
                      onDisplay, {}, "/dev/null");
    EXPECT_TRUE(Eventually([&] { return !visibleWindow(); }, 20s))
        << "the stand-in stayed after the tray came";

    auto toggle = [&] {
        ChildProcess start(LARKSPUR_BINARY, {"-startup"}, onDisplay);
        return start.WaitForExit() == 0;
    };
    ASSERT_TRUE(toggle());
    EXPECT_TRUE(Eventually(visibleWindow, 10s)) << "-startup did not show the hidden window";
    ASSERT_TRUE(toggle());
    EXPECT_TRUE(Eventually([&] { return !visibleWindow(); }, 10s))
        << "-startup did not hide the shown window";
    // Ended while its X server still runs.
    PostMessageA(FindWindowA(nullptr, "Larkspur!"), WM_CLOSE, 0, 0);
    EXPECT_EQ(m_firstCopy->WaitForExit(), 0);
}

} // namespace
