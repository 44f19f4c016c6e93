#include "AppSettings.h"
#include "CConverterDlg.h"
#include "CReportListCtrl.h"
#include "ConversionJob.h"
#include "JobProgress.h"
#include "ScopedXdgEnvironment.h"
#include "TempFolder.h"
#include "Window.h"
#include "decoder.h"
#include "resource.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

const std::string kFixture = std::string(LARKSPUR_FIXTURES_DIR) + "/cbr-stereo.mp3";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WaitUntil(const std::function<bool()>& condition) {
    for (const auto deadline = std::chrono::steady_clock::now() + 30s;
         std::chrono::steady_clock::now() < deadline;) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(2ms);
    }
    return condition();
}

// An MP3 source behind a named pipe: its worker runs exactly as long as the test feeds it. The
// pipe is held open from the start, so the worker's reads wait for data instead of ending.
class PipedSource {
public:
    explicit PipedSource(std::string path) : m_path(std::move(path)) {
        // Frames put one after the other still make one stream: a long input from a short fixture.
        const std::string fixture = ReadFile(kFixture);
        m_fixtureSize = fixture.size();
        for (int copy = 0; copy < 40; ++copy) {
            m_mp3 += fixture;
        }
        mkfifo(m_path.c_str(), 0600);
        m_writer = open(m_path.c_str(), O_RDWR | O_NONBLOCK);
    }
    ~PipedSource() { Finish(); }
    PipedSource(const PipedSource&) = delete;
    PipedSource& operator=(const PipedSource&) = delete;

    const std::string& Path() const { return m_path; }

    // Feeds the input until `job` converts (its decoder has attached the input); false when it never does.
    bool FeedUntilConverting(ConversionJob& job) {
        return m_writer >= 0 && WaitUntil([&] {
                   if (m_written < m_mp3.size()) {
                       const ssize_t written = write(m_writer, m_mp3.data() + m_written,
                                                     std::min<std::size_t>(4096, m_mp3.size() - m_written));
                       m_written += written > 0 ? static_cast<std::size_t>(written) : 0;
                   }
                   return ReadJobProgress(job).has_value();
               });
    }

    // The end of the input, after the rest of the current copy of the fixture, so the stream ends
    // on a whole frame: the worker reads what is in the pipe and then ends.
    void Finish() {
        if (m_writer < 0) {
            return;
        }
        const std::size_t end = std::min(m_mp3.size(), (m_written / m_fixtureSize + 1) * m_fixtureSize);
        WaitUntil([&] {
            const ssize_t written = write(m_writer, m_mp3.data() + m_written, end - m_written);
            m_written += written > 0 ? static_cast<std::size_t>(written) : 0;
            return m_written == end;
        });
        close(m_writer);
        m_writer = -1;
    }

private:
    std::string m_path;
    std::string m_mp3;
    int m_writer = -1;
    std::size_t m_written = 0;
    std::size_t m_fixtureSize = 0;
};

// A decoder record whose input reports the progress figures a test chooses.
struct FakeDecoder {
    XA_InputInfo input{};
    XA_DecoderInfo decoder{};
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        std::signal(SIGPIPE, SIG_IGN);
        m_window = std::make_unique<CConverterDlg>(m_settings);
        m_window->Create();
    }

    ~MainWindowTest() override {
        // Every worker ends before the window goes, so no record outlives the test.
        for (int round = 0; round < 100 && List().GetItemCount() > 0; ++round) {
            for (int row = 0; row < List().GetItemCount(); ++row) {
                if (ConversionJob* job = Job(row)) {
                    job->m_bAbort = 1;
                }
            }
            m_window->OnQueueTimer();
            std::this_thread::sleep_for(10ms);
        }
    }

    CReportListCtrl& List() const { return m_window->JobList(); }
    ConversionJob* Job(int row) const { return reinterpret_cast<ConversionJob*>(List().GetItemData(row)); }
    QString Status(int row) const { return List().model()->index(row, 1).data().toString(); }
    QString Text(int id) const { return static_cast<QLineEdit*>(m_window->Control(id))->text(); }
    bool Enabled(int id) const { return m_window->Control(id)->isEnabled(); }
    void Click(int id) const { static_cast<QPushButton*>(m_window->Control(id))->click(); }
    void Select(int row) const { List().setCurrentIndex(List().model()->index(row, 0)); }

    std::string AddCopy(const std::string& name) {
        const std::string path = m_files / name;
        std::filesystem::copy_file(kFixture, path);
        m_window->AddSourceFile(path);
        return path;
    }

    // A job whose progress comes from `fake`; it counts as running, so no worker is started for it.
    ConversionJob* AddFakeRunningJob(FakeDecoder& fake, const std::string& source) {
        auto* job = new ConversionJob;
        job->m_strSource = source;
        job->m_strDest = source + ".wav";
        job->m_hThread = 1;
        job->m_pDecoder = &fake.decoder;
        const int row = List().InsertItemText(List().GetItemCount(), 0, QString::fromStdString(source),
                                              reinterpret_cast<LPARAM>(job));
        List().InsertItemText(row, 1, QStringLiteral("pending"), 0);
        return job;
    }

    static void EndFakeJob(ConversionJob* job) {
        job->m_pDecoder = nullptr;
        job->m_bDone = 1;
        job->m_hThread = 0;
    }

    // Runs the event loop until the window asks the application to quit (0) or 10 s pass (1).
    static int RunUntilQuit() {
        QTimer bound;
        bound.setSingleShot(true);
        QObject::connect(&bound, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        bound.start(10s);
        return QCoreApplication::exec();
    }

    ScopedXdgEnvironment m_xdg;
    TempFolder m_files;
    AppSettings m_settings;
    std::unique_ptr<CConverterDlg> m_window;
};

TEST_F(MainWindowTest, IsCreatedHiddenWithTheTemplateControlsAndColumns) {
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Larkspur!"));
    EXPECT_EQ(m_window->minimumSize(), m_window->maximumSize()) << "fixed size";
    EXPECT_TRUE(m_window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(m_window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(m_window->windowIcon().isNull());
    for (const int id : {IDC_START, IDC_STOP, IDC_DELETE}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_EQ(static_cast<QPushButton*>(m_window->Control(IDOK))->text(), QStringLiteral("&Hide"));
    EXPECT_TRUE(static_cast<QPushButton*>(m_window->Control(IDOK))->isDefault());
    EXPECT_EQ(List().model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("MP3 Source File"));
    EXPECT_EQ(List().model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Status"));
    // Width factor 2: "MP3 Source File" (15 characters) is measured as 31, "Status" (6) as 13.
    EXPECT_GT(List().columnWidth(0), 2 * List().columnWidth(1));
    // Once shown, the status column takes the rest of the row and holds the widest status text.
    m_window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    EXPECT_GE(List().columnWidth(1),
              List().fontMetrics().horizontalAdvance(QStringLiteral("100.0% complete")));
    EXPECT_EQ(List().columnWidth(0) + List().columnWidth(1), List().viewport()->width());
}

TEST_F(MainWindowTest, JobButtonsFollowTheSelectedJobAndEveryPressClearsTheSelection) {
    m_settings.Async = 0;
    AddCopy("pending.mp3");
    PipedSource piped(m_files / "piped.mp3");
    m_window->AddSourceFile(piped.Path());
    auto expectButtons = [this](bool start, bool stop, bool del, const char* state) {
        EXPECT_EQ(Enabled(IDC_START), start) << state;
        EXPECT_EQ(Enabled(IDC_STOP), stop) << state;
        EXPECT_EQ(Enabled(IDC_DELETE), del) << state;
    };

    expectButtons(false, false, false, "no selection");
    Select(0);
    expectButtons(true, false, true, "a pending job");

    Select(1);
    Click(IDC_START);
    expectButtons(false, false, false, "after Start");
    EXPECT_EQ(List().GetSelectedItem(-1), -1);
    ASSERT_TRUE(piped.FeedUntilConverting(*Job(1)));

    Select(1);
    expectButtons(false, true, true, "a running job");
    Click(IDC_STOP);
    expectButtons(false, false, false, "after Stop/Abort");
    EXPECT_EQ(Job(1)->m_bAbort, 1);

    Select(0);
    Click(IDC_DELETE);
    expectButtons(false, false, false, "after Delete");
    EXPECT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(Job(0)->m_strSource, piped.Path());
}

TEST_F(MainWindowTest, TickRemovesDoneJobsAndRowsWithoutAJob) {
    m_settings.Async = 0;
    FakeDecoder fake;
    EndFakeJob(AddFakeRunningJob(fake, "/music/done.mp3"));
    List().InsertItemText(List().GetItemCount(), 0, QStringLiteral("no job"), 0);
    FakeDecoder runningFake;
    ConversionJob* running = AddFakeRunningJob(runningFake, "/music/running.mp3");

    m_window->OnQueueTimer();
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(Job(0), running);
    EndFakeJob(running);
}

TEST_F(MainWindowTest, SequentialJobsConvertOneAfterAnotherInListOrder) {
    m_settings.Async = 0;
    const std::array sources{AddCopy("a.mp3"), AddCopy("b.mp3"), AddCopy("c.mp3")};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Job(row)->m_hThread, 0u) << "nothing starts before the tick";
        EXPECT_EQ(Status(row), QStringLiteral("pending"));
    }

    std::vector<std::string> headsStarted;
    for (int tick = 0; tick < 5000 && List().GetItemCount() > 0; ++tick) {
        const int rowsBefore = List().GetItemCount();
        m_window->OnQueueTimer();
        const int rows = List().GetItemCount();
        for (int row = 1; row < rows; ++row) {
            ASSERT_EQ(Job(row)->m_hThread, 0u) << "only the head job runs";
        }
        if (rows == 0) {
            break;
        }
        ConversionJob* head = Job(0);
        if (rows < rowsBefore || headsStarted.empty()) {
            // Started in the very tick that removed its predecessor.
            EXPECT_TRUE(head->m_hThread != 0 || head->m_bDone != 0) << head->m_strSource;
            headsStarted.push_back(head->m_strSource);
        }
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_EQ(headsStarted, std::vector<std::string>(sources.begin(), sources.end()));
    for (const std::string& source : sources) {
        const std::string wav = source.substr(0, source.size() - 4) + ".wav";
        EXPECT_GT(std::filesystem::file_size(wav), 44u) << wav;
    }
}

TEST_F(MainWindowTest, StatusShowsEachJobsPercentageAndTheHeadControlsTheFirstJob) {
    FakeDecoder head;
    FakeDecoder second;
    FakeDecoder notAttached;
    ConversionJob* headJob = AddFakeRunningJob(head, "/music/head.mp3");
    ConversionJob* secondJob = AddFakeRunningJob(second, "/music/second.mp3");
    ConversionJob* waitingJob = AddFakeRunningJob(notAttached, "/music/waiting.mp3");
    head.decoder.input = &head.input;
    second.decoder.input = &second.input;

    struct Case {
        std::uint64_t position;
        std::uint64_t total;
        const char* status;
        int bar;
    };
    const std::array cases{
        Case{425, 999, "42.5% complete", 42},
        Case{1500, 999, "100.0% complete", 100},
        Case{1000, 1000, "99.9% complete", 99},
        Case{0, 0, "0.0% complete", 0},
    };
    for (const Case& c : cases) {
        head.input.position = c.position;
        head.input.size = c.total;
        second.input.position = 1;
        second.input.size = 3;
        m_window->OnQueueTimer();
        EXPECT_EQ(Status(0), QString::fromLatin1(c.status)) << c.position << "/" << c.total;
        EXPECT_EQ(m_window->Progress().value(), c.bar) << c.position << "/" << c.total;
        EXPECT_EQ(m_window->Progress().maximum(), 100);
        EXPECT_EQ(Status(1), QStringLiteral("25.0% complete"));
        EXPECT_EQ(Status(2), QStringLiteral("pending")) << "no input attached yet";
        EXPECT_EQ(Text(IDC_SOURCE), QStringLiteral("/music/head.mp3"));
        EXPECT_EQ(Text(IDC_DEST), QStringLiteral("/music/head.mp3.wav"));
    }

    for (ConversionJob* job : {headJob, secondJob, waitingJob}) {
        EndFakeJob(job);
    }
    m_window->OnQueueTimer();
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(Text(IDC_SOURCE), QString());
    EXPECT_EQ(Text(IDC_DEST), QString());
    EXPECT_EQ(m_window->Progress().value(), 0);
}

TEST_F(MainWindowTest, WindowHidesWhenTheListDrainsButNotWhileExitingOrWhenAlreadyEmpty) {
    m_window->show();
    m_window->OnQueueTimer();
    EXPECT_TRUE(m_window->isVisible()) << "an empty list does not hide the window";

    FakeDecoder fake;
    EndFakeJob(AddFakeRunningJob(fake, "/music/done.mp3"));
    m_window->OnQueueTimer();
    EXPECT_FALSE(m_window->isVisible()) << "the last row left";
}

TEST_F(MainWindowTest, ExitMarksPendingJobsDoneSoTheTickRemovesThemWithoutStartingThem) {
    m_settings.Async = 0;
    AddCopy("a.mp3");
    AddCopy("b.mp3");
    m_window->show();

    m_window->ExitProgram();
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(Job(row)->m_bDone, 1);
        EXPECT_EQ(Job(row)->m_bAbort, 1);
    }
    EXPECT_EQ(RunUntilQuit(), 0) << "Exit asks the application to quit";

    m_window->OnQueueTimer();
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_FALSE(std::filesystem::exists(m_files / "a.wav")) << "a pending job never starts after Exit";
    EXPECT_TRUE(m_window->isVisible()) << "the window stays while the program exits";
}

TEST_F(MainWindowTest, DeleteRemovesARunningJobAtOnceAndFreesItOnceItsWorkerEnds) {
    PipedSource piped(m_files / "piped.mp3");
    m_window->AddSourceFile(piped.Path());
    ConversionJob* job = Job(0);
    ASSERT_TRUE(piped.FeedUntilConverting(*job));

    m_window->show();
    Select(0);
    Click(IDC_DELETE);
    EXPECT_EQ(List().GetItemCount(), 0) << "the row goes at once";
    EXPECT_TRUE(m_window->isVisible()) << "Delete never hides the window";
    EXPECT_EQ(job->m_bAbort, 1);

    piped.Finish();
    ASSERT_TRUE(WaitUntil([&] { return job->m_hThread == 0; }));
    // The next tick frees the record (the leak checker of the sanitizer build would see it otherwise).
    m_window->OnQueueTimer();
    EXPECT_TRUE(std::filesystem::exists(m_files / "piped.wav")) << "the partial file stays";
}

TEST_F(MainWindowTest, HideEnterAndCloseBoxHideTheWindowWhileEscapeAndWmCloseQuit) {
    m_window->show();
    Click(IDOK);
    EXPECT_FALSE(m_window->isVisible()) << "Hide";

    m_window->show();
    QTest::keyClick(m_window.get(), Qt::Key_Return);
    EXPECT_FALSE(m_window->isVisible()) << "Enter";

    m_window->show();
    m_window->close();
    EXPECT_FALSE(m_window->isVisible()) << "the close box";

    m_window->show();
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    EXPECT_EQ(RunUntilQuit(), 0) << "Escape quits";

    m_window->PostMessage(WM_CLOSE, 0, 0);
    EXPECT_EQ(RunUntilQuit(), 0) << "WM_CLOSE quits";
}

TEST_F(MainWindowTest, WindowIsPlacedAtTheBottomRightOfThePrimaryScreen) {
    EXPECT_EQ(CConverterDlg::BottomRightPlacement(QSize(1024, 768), QSize(570, 340)), QPoint(434, 388));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(m_window->frameGeometry().topLeft(),
              screen.topLeft() +
                  CConverterDlg::BottomRightPlacement(screen.size(), m_window->frameGeometry().size()));
}

} // namespace
