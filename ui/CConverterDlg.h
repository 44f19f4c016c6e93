// The program's one window: the job list with its buttons, the head job's paths and progress,
// the queue tick that drives the jobs, and the notification-area icon. It starts hidden and
// lives on hidden; the notification-area icon shows and hides it.
#pragma once

#include "Win32Types.h"

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class AppSettings;
class CReportListCtrl;
class GuiMessageBoxService;
class QLineEdit;
class QProgressBar;
class SystemTrayIcon;
struct ConversionJob;

class CConverterDlg : public QDialog {
    Q_OBJECT

public:
    explicit CConverterDlg(AppSettings& settings);
    ~CConverterDlg() override;

    // Builds the controls from the main dialog template, hidden, places the window at the bottom
    // right of the primary screen, starts both timers and installs the GUI message boxes.
    BOOL Create();
    // Stops every job (waiting a second when there are rows), removes the notification-area icon
    // and takes the window down. Messages posted afterwards are dropped.
    BOOL DestroyWindow();

    // The window's message entry: WM_TRAYNOTIFY, WM_COMMAND and WM_CLOSE.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Buttons, menu items and posted commands; TRUE when the command was handled.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Queues WindowProc(message, wParam, lParam) on the UI thread; callable from any thread.
    void PostMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Turns one MP3 path into a job at the end of the list.
    void AddSourceFile(const std::string& path);
    // Starts the job's worker unless it has one or is done.
    void StartJobWorker(ConversionJob* job);

    // The once-a-second walk over the job list.
    void OnQueueTimer();
    void StartSelectedJob();
    void StopSelectedJob();
    void DeleteSelectedJob();
    void ExitProgram();
    void AbortAllJobs();

    // The "&New..." button: the open-file dialog.
    void OnNew();
    // ID_HANDOFF: every file waiting in the hand-off mailbox becomes a job, in order.
    void OnHandOff();

    // The notification-area icon's timer step: adds the icon, retried each second until it succeeds.
    void OnTrayIconTimer();
    // Builds menu 129 and runs it at the cursor; the chosen command is posted.
    void OnTrayMenu();
    void RemoveTrayIcon();

    // The window's position on a screen of `screenSize` for a window of `windowSize`: bottom right,
    // 20 pixels from the right and 40 from the bottom edge.
    static QPoint BottomRightPlacement(QSize screenSize, QSize windowSize);

    // For the tests: the window's parts as the user sees them.
    CReportListCtrl& JobList() const { return *m_listJobs; }
    QWidget* Control(int id) const;
    QProgressBar& Progress() const { return *m_progress; }
    bool IsTrayIconAdded() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void moveEvent(QMoveEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void OnTimer(std::uintptr_t timerId);
    // Bottom right of the primary screen for the window's outer size, frame included.
    void PlaceAtBottomRight();
    // The close box: hides a visible window, shows a hidden one.
    void OnCloseBox();
    void OnOK();
    void OnQuit();
    // WM_TRAYNOTIFY: false for a mouse message the icon does not act on.
    bool OnTrayNotify(LPARAM mouseMessage);
    // Stops the timers, removes the icon and the message boxes, hides the window; runs once.
    void TakeDown();
    void OnJobListItemChanged();
    void DeselectAllJobs();
    void ShowHeadJob(const std::string& source, const std::string& dest, int percent);
    // Frees a job whose worker has ended; one whose worker still runs is kept until it ends.
    void ReleaseJob(ConversionJob* job);
    void ReleaseEndedOrphans();
    bool IsDestinationTaken(const std::string& destination) const;
    static void PostQuitMessage(int exitCode);

    AppSettings& m_settings;
    QProgressBar* m_progress = nullptr;
    CReportListCtrl* m_listJobs = nullptr;
    QLineEdit* m_sourceEdit = nullptr;
    QLineEdit* m_destEdit = nullptr;
    QHash<int, QWidget*> m_controls;
    QIcon m_hIcon;
    QIcon m_hTrayIcon;
    int m_bExiting = 0;
    bool m_bDestroyed = false;
    // An X11 window learns its frame only once it is shown; the placement is then made again, once.
    bool m_bPlacedWithFrame = false;

    const std::uintptr_t m_idtTrayIcon;
    const std::uintptr_t m_idtQueue;
    QTimer m_trayIconTimer;
    QTimer m_queueTimer;

    std::unique_ptr<SystemTrayIcon> m_trayIcon;
    std::unique_ptr<GuiMessageBoxService> m_messageBoxes;

    // Jobs whose rows are gone while their workers still write to them.
    std::vector<ConversionJob*> m_orphanedJobs;
    // How many live jobs write each destination, so a new job gets a name of its own.
    std::unordered_map<std::string, int> m_destinationsInUse;
};
