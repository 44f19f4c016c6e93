#include "ChildProcess.h"
#include "ConsoleReporter.h"
#include "ConvertOptions.h"
#include "LongMp3.h"
#include "ScopedXdgEnvironment.h"
#include "StringTable.h"
#include "TempFolder.h"
#include "WavFile.h"
#include "decoder.h"
#include "resource.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <random>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kConverter = LARKSPUR_CONVERT_BINARY;
const std::string kFixture = std::string(LARKSPUR_FIXTURES_DIR) + "/cbr-stereo.mp3";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every path below `folder`, relative to it.
std::set<std::string> Listing(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        names.insert(fs::relative(entry.path(), folder).string());
    }
    return names;
}

std::string FailureLine(const std::string& source, unsigned int stringId, int code) {
    std::string text = LoadStringResource(stringId);
    text.replace(text.find("%s"), 2, xaudio_error_string(code));
    return "larkspur-convert: " + source + ": " + text + "\n";
}

bool WaitUntil(const std::function<bool()>& condition) {
    for (auto deadline = std::chrono::steady_clock::now() + 30s;
         std::chrono::steady_clock::now() < deadline;) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(5ms);
    }
    return condition();
}

class ConvertEndToEnd : public ::testing::Test {
protected:
    ScopedXdgEnvironment m_environment;
    TempFolder m_temp;
};

struct BadInputCase {
    const char* name;
    bool needsUnprivileged;
    // Makes the input inside the case's folder; gives the converter's arguments.
    std::function<std::vector<std::string>(const fs::path& folder)> setUp;
    int exitStatus;
    std::function<std::string(const fs::path& folder)> expectedError; // "" for none
    std::set<std::string> newFiles;
};

TEST_F(ConvertEndToEnd, BadInputGivesItsMessageAndTouchesNothingElse) {
    const auto input = [](const char* name, std::function<void(const std::string&)> make) {
        return [name, make](const fs::path& folder) {
            make((folder / name).string());
            return std::vector<std::string>{(folder / name).string()};
        };
    };
    const auto inputError = [](const char* name, int code) {
        return [name, code](const fs::path& folder) {
            return FailureLine((folder / name).string(), IDS_ERR_INPUT_OPEN, code);
        };
    };
    const std::string mp3 = ReadAll(kFixture);
    const std::string oddName = "my \"quoted\" Ünï côdé.mp3";
    const std::vector<BadInputCase> cases{
        {"empty file",
         false,
         input("empty.mp3", [](const std::string& p) { WriteAll(p, ""); }),
         1,
         inputError("empty.mp3", XA_ERROR_INPUT_NOT_MPEG),
         {}},
        {"random bytes",
         false,
         input("noise.mp3",
               [](const std::string& p) {
                   std::mt19937 random(2112);
                   std::string bytes(64 * 1024, '\0');
                   for (char& byte : bytes) {
                       byte = static_cast<char>(random());
                   }
                   WriteAll(p, bytes);
               }),
         1,
         inputError("noise.mp3", XA_ERROR_INPUT_NOT_MPEG),
         {}},
        {"text file",
         false,
         input("notes.mp3",
               [](const std::string& p) { WriteAll(p, std::string(3000, 'x') + "\nno audio\n"); }),
         1,
         inputError("notes.mp3", XA_ERROR_INPUT_NOT_MPEG),
         {}},
        {"cut in the middle of a frame",
         false,
         input("cut.mp3", [&](const std::string& p) { WriteAll(p, mp3.substr(0, mp3.size() / 2 + 101)); }),
         0,
         nullptr,
         {"cut.wav"}},
        {"ID3 tag without audio",
         false,
         input("tag.mp3",
               [](const std::string& p) {
                   // ID3v2.4 header announcing 200 bytes (syncsafe 0x01 0x48), then padding.
                   WriteAll(p, std::string("ID3\x04\x00\x00\x00\x00\x01\x48", 10) + std::string(200, '\0'));
               }),
         1,
         inputError("tag.mp3", XA_ERROR_INPUT_NOT_MPEG),
         {}},
        {"directory",
         false,
         input("folder.mp3", [](const std::string& p) { fs::create_directory(p); }),
         1,
         inputError("folder.mp3", XA_ERROR_INPUT_IS_DIRECTORY),
         {}},
        {"missing file",
         false,
         [](const fs::path& folder) { return std::vector<std::string>{(folder / "missing.mp3").string()}; },
         1,
         inputError("missing.mp3", XA_ERROR_INPUT_NOT_FOUND),
         {}},
        {"unreadable file",
         true,
         input("locked.mp3",
               [&](const std::string& p) {
                   WriteAll(p, mp3);
                   fs::permissions(p, fs::perms::none);
               }),
         1,
         inputError("locked.mp3", XA_ERROR_INPUT_ACCESS_DENIED),
         {}},
        {"destination folder that cannot be written",
         true,
         [](const fs::path& folder) {
             fs::create_directory(folder / "readonly");
             fs::permissions(folder / "readonly", fs::perms::owner_read | fs::perms::owner_exec);
             return std::vector<std::string>{"-o", (folder / "readonly").string(), kFixture};
         },
         1,
         [](const fs::path&) {
             return FailureLine(kFixture, IDS_ERR_OUTPUT_OPEN, XA_ERROR_OUTPUT_ACCESS_DENIED);
         },
         {}},
        {"destination folder that cannot be made",
         false,
         [](const fs::path& folder) {
             WriteAll((folder / "plain").string(), "in the way");
             return std::vector<std::string>{"-o", (folder / "plain/wav").string(), kFixture};
         },
         1,
         [](const fs::path&) {
             return FailureLine(kFixture, IDS_ERR_OUTPUT_OPEN, XA_ERROR_OUTPUT_CREATE_FAILED);
         },
         {}},
        {"blanks, quotes and non-ASCII characters",
         false,
         input(oddName.c_str(), [&](const std::string& p) { WriteAll(p, mp3); }),
         0,
         nullptr,
         {"my \"quoted\" Ünï côdé.wav"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsUnprivileged && geteuid() == 0) {
            std::cout << "skipped as root, who may read and write anything: " << c.name << "\n";
            continue;
        }
        const fs::path folder = m_temp.Path() / c.name;
        fs::create_directory(folder);
        std::vector<std::string> command{kConverter};
        const auto arguments = c.setUp(folder);
        command.insert(command.end(), arguments.begin(), arguments.end());
        const auto before = Listing(folder);

        const ChildResult result = RunChild(command);

        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.signal, 0);
        EXPECT_EQ(result.exitStatus, c.exitStatus);
        EXPECT_EQ(result.err, c.expectedError ? c.expectedError(folder) : "");
        auto expected = before;
        expected.insert(c.newFiles.begin(), c.newFiles.end());
        EXPECT_EQ(Listing(folder), expected);
        for (const auto& name : c.newFiles) {
            const auto layout = ReadWavLayout((folder / name).string());
            ASSERT_TRUE(layout.has_value()) << name;
            EXPECT_GT(layout->SampleFrames(), 0u);
        }
    }
}

TEST_F(ConvertEndToEnd, UsageErrorsHelpAndVersion) {
    struct UsageCase {
        std::vector<std::string> arguments;
        int exitStatus;
        const char* inOutput; // expected in stdout (status 0) or stderr (status 2)
    };
    const std::vector<UsageCase> cases{
        {{}, 2, "no MP3 file given"},
        {{"-j", "0", kFixture}, 2, "'-j' needs a whole number"},
        {{"-jx", kFixture}, 2, "'-j' needs a whole number"},
        {{kFixture, "-o"}, 2, "option '-o' needs a value"},
        {{"-x", kFixture}, 2, "unknown option '-x'"},
        {{"--bogus", kFixture}, 2, "unknown option '--bogus'"},
        {{"--help"}, 0, "Usage: larkspur-convert [-o DIR] [-j N] [-q] FILE..."},
        {{"--version"}, 0, "larkspur-convert 3.02\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> command{kConverter};
        command.insert(command.end(), c.arguments.begin(), c.arguments.end());
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        const ChildResult result = RunChild(command);
        EXPECT_EQ(result.exitStatus, c.exitStatus);
        const std::string& shown = c.exitStatus == 0 ? result.out : result.err;
        EXPECT_NE(shown.find(c.inOutput), std::string::npos) << shown;
        if (c.exitStatus == 2) {
            EXPECT_NE(result.err.find("Try 'larkspur-convert --help'"), std::string::npos);
            EXPECT_TRUE(result.out.empty());
        }
    }
}

TEST_F(ConvertEndToEnd, OutputFolderIsCreatedAndSameNamesAreToldApart) {
    const fs::path music = m_temp.Path() / "music";
    fs::create_directories(music / "live");
    fs::copy_file(kFixture, music / "song.mp3");
    fs::copy_file(kFixture, music / "live" / "song.mp3");
    const fs::path out = m_temp.Path() / "wav" / "deep";

    const ChildResult result =
        RunChild({kConverter, "-q", "-o", out.string(), (music / "song.mp3").string(),
                  (music / "live" / "song.mp3").string(), (music / "song.mp3").string()});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "") << "-q prints only errors";
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(Listing(out), (std::set<std::string>{"song.wav", "song (2).wav", "song (3).wav"}));
    for (const auto& name : Listing(out)) {
        EXPECT_TRUE(ReadWavLayout((out / name).string()).has_value()) << name;
    }
}

TEST_F(ConvertEndToEnd, ASourceIsNeverOverwrittenByItsOwnConversion) {
    // An MPEG file named .wav, reached once directly and once through a link to its folder.
    const fs::path music = m_temp.Path() / "music";
    fs::create_directory(music);
    fs::copy_file(kFixture, music / "clip.wav");
    fs::create_directory_symlink(music, m_temp.Path() / "link");
    const std::string original = ReadAll((music / "clip.wav").string());

    const ChildResult result = RunChild({kConverter, "-q", (music / "clip.wav").string(), "-o",
                                         music.string(), (m_temp.Path() / "link" / "clip.wav").string()});

    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(ReadAll((music / "clip.wav").string()), original);
    EXPECT_EQ(Listing(music), (std::set<std::string>{"clip.wav", "clip (2).wav", "clip (3).wav"}));
}

// The first input is a pipe the test holds open: it converts only as far as the test feeds it.
class ConvertWithHeldInput : public ConvertEndToEnd {
protected:
    void SetUp() override {
        m_pipe = (m_temp.Path() / "held.mp3").string();
        ASSERT_EQ(mkfifo(m_pipe.c_str(), 0600), 0);
        // Read and write, so the pipe has a writer from the start and the converter's reads wait.
        m_writer = open(m_pipe.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        ASSERT_GE(m_writer, 0);
        m_previousHandler = std::signal(SIGPIPE, SIG_IGN);
    }
    void TearDown() override {
        if (m_writer >= 0) {
            close(m_writer);
        }
        std::signal(SIGPIPE, m_previousHandler);
    }
    // Writes all of `bytes` as the converter reads them; fails when it stops reading for long.
    void Feed(const std::string& bytes) {
        for (std::size_t at = 0; at < bytes.size();) {
            const ssize_t written = write(m_writer, bytes.data() + at, bytes.size() - at);
            if (written > 0) {
                at += static_cast<std::size_t>(written);
                continue;
            }
            ASSERT_EQ(errno, EAGAIN);
            pollfd room{m_writer, POLLOUT, 0};
            ASSERT_EQ(poll(&room, 1, 30000), 1) << "the converter stopped reading";
        }
    }
    // Feeds `bytes` from another thread as the converter reads them, until all is written or
    // the returned stop flag is set; then ends the input.
    std::thread FeedInBackground(std::string bytes, const std::atomic<bool>& stop) {
        const int writer = std::exchange(m_writer, -1);
        return std::thread([writer, bytes = std::move(bytes), &stop] {
            for (std::size_t at = 0; at < bytes.size() && !stop;) {
                const ssize_t written = write(writer, bytes.data() + at, bytes.size() - at);
                if (written > 0) {
                    at += static_cast<std::size_t>(written);
                    continue;
                }
                pollfd room{writer, POLLOUT, 0};
                poll(&room, 1, 100);
            }
            close(writer);
        });
    }
    void EndInput() {
        close(m_writer);
        m_writer = -1;
    }

    std::string m_pipe;
    int m_writer = -1;
    void (*m_previousHandler)(int) = nullptr;
};

TEST_F(ConvertWithHeldInput, OneJobAtATimeRunsInArgumentOrder) {
    const std::string second = (m_temp.Path() / "second.mp3").string();
    fs::copy_file(kFixture, second);
    const std::string secondWav = (m_temp.Path() / "second.wav").string();
    ChildProcess converter({kConverter, "-j", "1", m_pipe, second});

    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(fs::exists(secondWav)) << "the second file waits for the first";
    Feed(ReadAll(kFixture));
    EndInput();
    const ChildResult result = converter.Wait();
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_TRUE(ReadWavLayout(secondWav).has_value());
    EXPECT_TRUE(ReadWavLayout((m_temp.Path() / "held.wav").string()).has_value());
}

TEST_F(ConvertWithHeldInput, SeveralJobsRunAtOnce) {
    const std::string second = (m_temp.Path() / "second.mp3").string();
    fs::copy_file(kFixture, second);
    ChildProcess converter({kConverter, "-j", "2", m_pipe, second});
    EXPECT_TRUE(
        WaitUntil([&] { return ReadWavLayout((m_temp.Path() / "second.wav").string()).has_value(); }));
    EndInput();
    EXPECT_EQ(converter.Wait().exitStatus, 1) << "an empty held input is no MPEG file";
}

TEST_F(ConvertWithHeldInput, InterruptStopsAfterTheCurrentStepWithAValidFile) {
    const std::string longMp3 = (m_temp.Path() / "long.mp3").string();
    if (!MakeLongMp3(longMp3, 20)) {
        GTEST_SKIP() << "sox and lame are needed to make a long input";
    }
    const std::string mp3 = ReadAll(longMp3);
    const std::string wav = (m_temp.Path() / "held.wav").string();
    ChildProcess converter({kConverter, m_pipe});
    Feed(mp3.substr(0, mp3.size() / 3));
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(wav) && fs::file_size(wav) > 44; }));
    converter.SendSignal(SIGINT);
    const std::string stopping = "larkspur-convert: interrupted; stopping after the current step\n";
    ASSERT_TRUE(converter.WaitForError(stopping));
    // The step in progress waits for input; the converter then reads only what it still needs.
    std::atomic<bool> stopFeeding{false};
    std::thread feeder = FeedInBackground(mp3.substr(mp3.size() / 3), stopFeeding);
    const ChildResult result = converter.Wait();
    stopFeeding = true;
    feeder.join();

    EXPECT_EQ(result.exitStatus, 130);
    EXPECT_EQ(result.err, stopping);
    EXPECT_NE(result.out.find("interrupted"), std::string::npos) << result.out;
    const auto layout = ReadWavLayout(wav);
    ASSERT_TRUE(layout.has_value());
    EXPECT_GT(layout->SampleFrames(), 0u);
    EXPECT_LT(layout->SampleFrames(), 44100u * 15) << "stopped before the end";
}

TEST(ConvertReport, ProgressAndSummaryLines) {
    const std::string source = "/music/Ünïcode song.mp3";
    EXPECT_EQ(ConsoleReporter::ProgressLine({&source, 42.5}, 0), "42.5% complete  /music/Ünïcode song.mp3");
    EXPECT_EQ(ConsoleReporter::ProgressLine({&source, 100.0}, 0), "100.0% complete  /music/Ünïcode song.mp3");
    EXPECT_EQ(ConsoleReporter::ProgressLine({&source, std::nullopt}, 0), "pending  /music/Ünïcode song.mp3");
    // Cut by characters, never inside one.
    EXPECT_EQ(ConsoleReporter::ProgressLine({&source, 42.5}, 24), "42.5% complete  /music/Ü");

    EXPECT_EQ(ConsoleReporter::SummaryLine({3, 0, false}, 3), "3 of 3 files converted.");
    EXPECT_EQ(ConsoleReporter::SummaryLine({0, 1, false}, 1), "0 of 1 file converted, 1 failed.");
    EXPECT_EQ(ConsoleReporter::SummaryLine({1, 1, true}, 4),
              "1 of 4 files converted, 1 failed, interrupted.");
}

} // namespace
