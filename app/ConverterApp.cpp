#include "ConverterApp.h"

#include "CConverterDlg.h"
#include "CommandLine.h"
#include "HandOffReader.h"
#include "HandOffSender.h"
#include "ModuleFileName.h"
#include "ShellIntegration.h"
#include "StringTable.h"
#include "UserManual.h"
#include "resource.h"

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <cstdio>
#include <cstdlib>

namespace {

// Messages for the main window, from the window directory's listener or from this process,
// queued for the UI thread.
class MainWindowSink : public WindowMessageSink {
public:
    explicit MainWindowSink(CConverterDlg& window) : m_window(window) {}
    void PostToWindow(UINT message, WPARAM wParam, LPARAM lParam) override {
        m_window.PostMessage(message, wParam, lParam);
    }

private:
    CConverterDlg& m_window;
};

const char* MainWindowCaption() {
    return LoadStringResource(IDS_APP_TITLE);
}

// Whether the GUI has somewhere to show itself; without, Qt would abort the process.
bool HasDisplay() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0')
            return true;
    }
    return false;
}

} // namespace

CConverterApp::CConverterApp(int& argc, char** argv, std::string commandLine)
    : m_lpCmdLine(std::move(commandLine)), m_argc(argc), m_argv(argv) {}

CConverterApp::~CConverterApp() {
    // The window goes before the QApplication it lives in.
    m_pMainDlg.reset();
}

BOOL CConverterApp::InitInstance() {
    if (IsCommandLineKeyword(m_lpCmdLine, kUnregisterKeyword)) {
        Unregister();
        return FALSE;
    }
    // Held from the search until this copy's window can be found, so that of several copies
    // started at once exactly one becomes the running copy.
    WindowDirectoryLock lock;
    if (!lock.IsLocked())
        std::fprintf(stderr, "larkspur: no private runtime folder ($XDG_RUNTIME_DIR/larkspur or "
                             "/tmp/larkspur-UID); this copy cannot be found by later starts\n");
    HWND running = FindWindowA(nullptr, MainWindowCaption());
    if (!IsWindow(running)) {
        if (!HasDisplay()) {
            std::fprintf(stderr, "larkspur: no copy is running and there is no display to start one on\n");
            m_exitCode = 1;
            return FALSE;
        }
        BecomeRunningCopy(lock);
        return TRUE;
    }
    if (IsCommandLineKeyword(m_lpCmdLine, kStartupKeyword)) {
        // The running copy shows its window when hidden and hides it when shown.
        if (!PostMessageA(running, WM_TRAYNOTIFY, 0, WM_LBUTTONDBLCLK)) {
            std::fprintf(stderr, "larkspur: the running copy could not be told to show its window\n");
            m_exitCode = 1;
        }
    } else if (!HandOffCommandLine(running)) {
        std::fprintf(stderr, "larkspur: the files could not be handed to the running copy\n");
        m_exitCode = 1;
    }
    return FALSE;
}

void CConverterApp::BecomeRunningCopy(WindowDirectoryLock& lock) {
    RegisterShellVerb(ProgramPath());

    // The icons are compiled into the GUI library, whose resource registration nothing else
    // references: without this the linker drops it and every icon comes out empty.
    Q_INIT_RESOURCE(icons);
    m_application = std::make_unique<QApplication>(m_argc, m_argv);
    QApplication::setApplicationName("larkspur");
    QApplication::setDesktopFileName("larkspur");
    // The window lives hidden and message boxes come and go: neither may end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    m_pMainDlg = std::make_unique<CConverterDlg>(*this);
    m_pMainDlg->Create();
    m_mainWindowSink = std::make_unique<MainWindowSink>(*m_pMainDlg);
    if (lock.IsLocked())
        m_hMainWnd = CreateWindowEntry(MainWindowCaption(), *m_mainWindowSink);
    lock.Release();

    auto* help = new QShortcut(QKeySequence::HelpContents, m_pMainDlg.get());
    QObject::connect(help, &QShortcut::activated, [this] { OnHelp(); });

    LoadSettings();

    if (IsCommandLineKeyword(m_lpCmdLine, kStartupKeyword)) {
        m_pMainDlg->hide();
    } else if (m_hMainWnd != nullptr) {
        HandOffCommandLine(m_hMainWnd);
    } else {
        // Without a runtime folder there is no mailbox: the files go to the list directly.
        ForEachHandOffItem(m_lpCmdLine, [this](const std::string& path) { m_pMainDlg->AddSourceFile(path); });
    }
}

int CConverterApp::Run() {
    m_exitCode = m_application->exec();
    return ExitInstance();
}

int CConverterApp::ExitInstance() {
    if (m_hMainWnd != nullptr) {
        // Later starts no longer find this copy while it shuts down.
        DestroyWindowEntry(m_hMainWnd);
        m_hMainWnd = nullptr;
    }
    if (m_pMainDlg)
        m_pMainDlg->DestroyWindow();
    return m_exitCode;
}

bool CConverterApp::HandOffCommandLine(HWND target) {
    return HandOffText(target, m_lpCmdLine);
}

void CConverterApp::Unregister() {
    UnregisterShellVerb();
    RemoveStartupEntry();
    WindowDirectoryLock lock;
    HWND running = FindWindowA(nullptr, MainWindowCaption());
    if (IsWindow(running)) {
        PostMessageA(running, WM_COMMAND, ID_EXIT, 0);
        PostMessageA(running, WM_CLOSE, 0, 0);
    }
}

void CConverterApp::OnHelp() {
    OpenUserManual();
}
