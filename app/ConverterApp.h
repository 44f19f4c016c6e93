// The application object: decides at start-up whether this process unregisters the program, hands
// its command line to the running copy, or becomes the running copy with the main window.
#pragma once

#include "AppSettings.h"
#include "Window.h"

#include <memory>
#include <string>

class CConverterDlg;
class QApplication;

class CConverterApp : public AppSettings {
public:
    // `commandLine` is the text of the hand-off: the arguments joined as ParseCommandLine does.
    // `argc` and `argv` must outlive the object (the GUI keeps them).
    CConverterApp(int& argc, char** argv, std::string commandLine);
    ~CConverterApp();
    CConverterApp(const CConverterApp&) = delete;
    CConverterApp& operator=(const CConverterApp&) = delete;

    // TRUE when this process has become the running copy; FALSE after "-unregister" or a hand-off
    // to the running copy. Only the running copy creates the GUI.
    BOOL InitInstance();
    // Runs the event loop of the running copy until it quits, then ExitInstance.
    int Run();
    // Takes the main window down; the process's exit status.
    int ExitInstance();

    // Appends the command line to the pending hand-off items and tells `target`; false when that
    // failed (the clipboard stayed busy or the window could not be told).
    bool HandOffCommandLine(HWND target);
    // F1: the installed manual in the desktop's viewer; nothing when none is installed.
    void OnHelp();

    std::string m_lpCmdLine;
    std::unique_ptr<CConverterDlg> m_pMainDlg;

private:
    void Unregister();
    void BecomeRunningCopy(WindowDirectoryLock& lock);

    int& m_argc;
    char** m_argv;
    std::unique_ptr<QApplication> m_application;
    std::unique_ptr<WindowMessageSink> m_mainWindowSink;
    HWND m_hMainWnd = nullptr; // the main window's entry in the window directory
    int m_exitCode = 0;
};
