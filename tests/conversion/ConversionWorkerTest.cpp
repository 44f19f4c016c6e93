#include "ConversionWorker.h"

#include "ConversionJob.h"
#include "JobProgress.h"
#include "LongMp3.h"
#include "MessageBox.h"
#include "RecordingMessageBox.h"
#include "StringTable.h"
#include "TempFolder.h"
#include "Thread.h"
#include "WavFile.h"
#include "WorkerStart.h"
#include "decoder.h"
#include "resource.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const std::string kFixtures = LARKSPUR_FIXTURES_DIR;

// Installs a recording message-box service for the life of the test.
class ConversionWorkerTest : public ::testing::Test {
protected:
    explicit ConversionWorkerTest(bool holdBoxesOpen = false) : m_boxes(holdBoxesOpen) {
        SetMessageBoxService(&m_boxes);
    }
    ~ConversionWorkerTest() override {
        m_boxes.Release();
        SetMessageBoxService(nullptr);
    }

    static bool WaitUntil(const std::function<bool()>& condition) {
        for (auto deadline = std::chrono::steady_clock::now() + 30s;
             std::chrono::steady_clock::now() < deadline;) {
            if (condition()) {
                return true;
            }
            std::this_thread::sleep_for(1ms);
        }
        return condition();
    }

    // Starts the job's worker as the program does and waits for its end.
    static void RunToEnd(ConversionJob& job) {
        ASSERT_NE(StartWorkerThread(job), 0u);
        ASSERT_TRUE(WaitUntil([&] { return job.m_hThread == 0; }));
        EXPECT_NE(job.m_bDone, 0);
        std::lock_guard lifeEnded(job.m_lifeLock);
    }

    static std::string Filled(unsigned int id, int code) {
        std::string text = LoadStringResource(id);
        return text.replace(text.find("%s"), 2, xaudio_error_string(code));
    }

    TempFolder m_temp;
    RecordingMessageBoxService m_boxes;
};

TEST_F(ConversionWorkerTest, ConvertsLikeMpg123AndLosesAStopRequestMadeBeforeTheStart) {
    for (const char* fixture : {"cbr-stereo.mp3", "vbr-lame.mp3", "mpeg2-mono.mp3", "layer2.mp2"}) {
        SCOPED_TRACE(fixture);
        ConversionJob job;
        job.m_strSource = kFixtures + "/" + fixture;
        job.m_strDest = m_temp / (std::string(fixture) + ".wav");
        job.m_bAbort = 1;
        job.m_bDone = 1;
        RunToEnd(job);

        EXPECT_EQ(job.m_pDecoder, nullptr);
        EXPECT_TRUE(m_boxes.Messages().empty());
        const auto layout = ReadWavLayout(job.m_strDest);
        ASSERT_TRUE(layout.has_value());
        EXPECT_EQ(layout->bitsPerSample, 16u);
        const auto reference = ReferenceSampleFrames(job.m_strSource, m_temp / "reference.wav");
        if (reference) {
            EXPECT_EQ(layout->SampleFrames(), *reference);
        } else {
            EXPECT_GT(layout->SampleFrames(), 0u);
        }
    }
}

// The input comes through a pipe, so the test decides how far the decoder can get: the stop
// request is made while the rest of the input has not been written yet.
TEST_F(ConversionWorkerTest, StopMidwayLeavesAValidShorterFile) {
    const std::string longMp3 = m_temp / "long.mp3";
    const std::string encode =
        "sox -q -n -r 44100 -c 2 -t wav - synth 20 sine 440 2>/dev/null | lame --quiet -b 128 - '" + longMp3 +
        "' 2>/dev/null";
    if (std::system(encode.c_str()) != 0) {
        GTEST_SKIP() << "sox and lame are needed to make a long input";
    }
    std::ifstream in(longMp3, std::ios::binary);
    const std::string mp3((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string pipe = m_temp / "input.mp3";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const auto previousHandler = std::signal(SIGPIPE, SIG_IGN);

    // The pipe has a writer before the worker opens it: one found without a writer reads as an
    // empty input. The holder opens read and write, which does not wait for a reader; once the
    // worker reads, it goes, so that writes fail instead of blocking when the worker stops.
    const int holder = open(pipe.c_str(), O_RDWR);
    ASSERT_GE(holder, 0);

    ConversionJob job;
    job.m_strSource = pipe;
    job.m_strDest = m_temp / "stopped.wav";
    ASSERT_NE(StartWorkerThread(job), 0u);

    const int writer = open(pipe.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    const std::size_t third = mp3.size() / 3;
    ASSERT_EQ(write(writer, mp3.data(), third), static_cast<ssize_t>(third));
    ASSERT_TRUE(WaitUntil([&] { return ReadJobProgress(job).has_value(); }));
    close(holder);
    job.m_bAbort = 1;
    // The worker may stop reading at any moment now; the rest may then not go through.
    for (std::size_t at = third; at < mp3.size();) {
        const ssize_t written = write(writer, mp3.data() + at, mp3.size() - at);
        if (written <= 0) {
            break;
        }
        at += static_cast<std::size_t>(written);
    }
    close(writer);
    ASSERT_TRUE(WaitUntil([&] { return job.m_bDone != 0 && job.m_hThread == 0; }));
    std::lock_guard lifeEnded(job.m_lifeLock);
    std::signal(SIGPIPE, previousHandler);

    EXPECT_TRUE(m_boxes.Messages().empty());
    const auto stopped = ReadWavLayout(job.m_strDest);
    ASSERT_TRUE(stopped.has_value());
    EXPECT_GT(stopped->SampleFrames(), 0u);
    EXPECT_LT(stopped->SampleFrames(), 44100u * 10) << "stopped within the first half";
}

class ConversionWorkerFailureTest : public ConversionWorkerTest {
protected:
    ConversionWorkerFailureTest() : ConversionWorkerTest(true) {}
};

TEST_F(ConversionWorkerFailureTest, OpenFailuresAreReportedWhileTheJobsStayRunning) {
    const std::string text = m_temp / "notes.mp3";
    std::ofstream(text) << "These are not the frames you are looking for.\n";
    struct FailureCase {
        std::string source;
        std::string dest;
        unsigned int stringId;
        int code;
    };
    const std::array cases{
        FailureCase{text, m_temp / "notes.wav", IDS_ERR_INPUT_OPEN, XA_ERROR_INPUT_NOT_MPEG},
        FailureCase{m_temp / "missing.mp3", m_temp / "missing.wav", IDS_ERR_INPUT_OPEN,
                    XA_ERROR_INPUT_NOT_FOUND},
        FailureCase{kFixtures + "/cbr-stereo.mp3", m_temp / "no/such/folder/out.wav", IDS_ERR_OUTPUT_OPEN,
                    XA_ERROR_OUTPUT_CREATE_FAILED},
    };
    std::array<ConversionJob, cases.size()> jobs;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        jobs[i].m_strSource = cases[i].source;
        jobs[i].m_strDest = cases[i].dest;
        StartWorkerThread(jobs[i]);
    }
    // Every box is up at once, and none of the jobs is done while its box is.
    ASSERT_TRUE(m_boxes.WaitForMessages(cases.size(), 30s));
    std::this_thread::sleep_for(20ms);
    for (const auto& job : jobs) {
        EXPECT_EQ(job.m_bDone, 0);
        EXPECT_NE(job.m_hThread, 0u);
    }
    const auto messages = m_boxes.Messages();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const auto shown = std::find_if(messages.begin(), messages.end(),
                                        [&](const auto& message) { return message.subject == c.source; });
        ASSERT_NE(shown, messages.end());
        EXPECT_EQ(shown->text, Filled(c.stringId, c.code));
    }

    m_boxes.Release();
    for (auto& job : jobs) {
        ASSERT_TRUE(WaitUntil([&] { return job.m_bDone != 0 && job.m_hThread == 0; }));
        std::lock_guard lifeEnded(job.m_lifeLock);
        EXPECT_EQ(job.m_pDecoder, nullptr);
    }
}

// A write that fails midway (here: past the process's file size limit, as on a full disk) is
// reported, and what was written keeps a valid header.
TEST_F(ConversionWorkerTest, FailedStepIsReportedAndThePartialFileStaysValid) {
    constexpr rlim_t kLimit = 64 * 1024;
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = kLimit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);

    ConversionJob job;
    job.m_strSource = kFixtures + "/cbr-stereo.mp3";
    job.m_strDest = m_temp / "cut.wav";
    RunToEnd(job);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    const auto messages = m_boxes.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, Filled(IDS_ERR_CONVERSION, XA_ERROR_OUTPUT_WRITE_FAILED));
    const auto layout = ReadWavLayout(job.m_strDest);
    ASSERT_TRUE(layout.has_value());
    EXPECT_LE(std::filesystem::file_size(job.m_strDest), kLimit);
    EXPECT_GT(layout->dataBytes, 0u);
}

} // namespace
