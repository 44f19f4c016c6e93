#include "CConverterDlg.h"

#include "AppSettings.h"
#include "CAboutDlg.h"
#include "CReportListCtrl.h"
#include "CSettingsDlg.h"
#include "ConversionJob.h"
#include "DialogLayout.h"
#include "DialogTemplate.h"
#include "GuiMessageBoxService.h"
#include "IconResources.h"
#include "StringTable.h"
#include "SystemTrayIcon.h"
#include "Window.h"
#include "resource.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>

namespace {

// The buttons whose clicks reach OnCommand with their ids.
constexpr int kCommandButtons[] = {IDC_NEW, IDC_START, IDC_STOP, IDC_DELETE, ID_SETTINGS, IDOK, ID_EXIT};

QString AppTitle() {
    return QString::fromUtf8(LoadStringResource(IDS_APP_TITLE));
}

} // namespace

CConverterDlg::CConverterDlg(AppSettings& settings)
    : m_settings(settings), m_hIcon(LoadIconResource(IDI_MAIN)), m_hTrayIcon(LoadIconResource(IDI_TRAY)),
      m_idtTrayIcon(reinterpret_cast<std::uintptr_t>(this)),
      m_idtQueue(reinterpret_cast<std::uintptr_t>(this) + 1),
      m_trayIcon(std::make_unique<SystemTrayIcon>(
          [this](LPARAM mouseMessage) { WindowProc(WM_TRAYNOTIFY, 0, mouseMessage); })) {}

CConverterDlg::~CConverterDlg() {
    TakeDown();
    // Jobs whose workers have ended are freed; one still running keeps its record, which its
    // worker writes until it ends.
    if (m_listJobs != nullptr) {
        for (int row = m_listJobs->GetItemCount() - 1; row >= 0; --row) {
            auto* job = reinterpret_cast<ConversionJob*>(m_listJobs->GetItemData(row));
            m_listJobs->DeleteItem(row);
            if (job != nullptr) {
                job->m_bAbort = 1;
                ReleaseJob(job);
            }
        }
    }
    ReleaseEndedOrphans();
}

BOOL CConverterDlg::Create() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    const CustomControlFactory factory = [this](const DialogControl& control, QWidget* parent) -> QWidget* {
        if (control.id == IDC_JOBLIST) {
            return new CReportListCtrl(parent);
        }
        if (control.kind == ControlKind::Icon) {
            auto* picture = new QLabel(parent);
            picture->setPixmap(m_hIcon.pixmap(32, 32));
            return picture;
        }
        return nullptr;
    };
    m_controls = BuildDialog(this, kMainDialogTemplate, factory);
    m_listJobs = static_cast<CReportListCtrl*>(m_controls.value(IDC_JOBLIST));
    m_progress = static_cast<QProgressBar*>(m_controls.value(IDC_PROGRESS));
    m_sourceEdit = static_cast<QLineEdit*>(m_controls.value(IDC_SOURCE));
    m_destEdit = static_cast<QLineEdit*>(m_controls.value(IDC_DEST));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    for (const int id : kCommandButtons) {
        connect(static_cast<QAbstractButton*>(m_controls.value(id)), &QAbstractButton::clicked, this,
                [this, id] { OnCommand(static_cast<WPARAM>(id), 0); });
    }
    connect(m_listJobs, &CReportListCtrl::itemChanged, this, &CConverterDlg::OnJobListItemChanged);

    setWindowIcon(m_hIcon);
    setAcceptDrops(true);
    PlaceAtBottomRight();

    m_trayIconTimer.setInterval(1000);
    connect(&m_trayIconTimer, &QTimer::timeout, this, [this] { OnTimer(m_idtTrayIcon); });
    m_trayIconTimer.start();
    m_queueTimer.setSingleShot(true);
    connect(&m_queueTimer, &QTimer::timeout, this, [this] { OnTimer(m_idtQueue); });
    m_queueTimer.start(1000);

    m_listJobs->m_nWidthFactor = 2;
    m_listJobs->AddColumn(0, QString::fromUtf8(LoadStringResource(IDS_COLUMN_SOURCE)), LVCFMT_LEFT);
    m_listJobs->AddColumn(1, QString::fromUtf8(LoadStringResource(IDS_COLUMN_STATUS)), LVCFMT_LEFT);

    m_messageBoxes = std::make_unique<GuiMessageBoxService>(AppTitle());
    SetMessageBoxService(m_messageBoxes.get());
    return TRUE;
}

BOOL CConverterDlg::DestroyWindow() {
    if (m_bDestroyed) {
        return FALSE;
    }
    try {
        AbortAllJobs();
        RemoveTrayIcon();
    } catch (...) {
        // The window goes all the same.
    }
    TakeDown();
    return TRUE;
}

void CConverterDlg::TakeDown() {
    if (m_bDestroyed) {
        return;
    }
    m_bDestroyed = true;
    m_trayIconTimer.stop();
    m_queueTimer.stop();
    m_trayIcon->Remove();
    if (m_messageBoxes != nullptr) {
        // Dismiss the boxes first, so that their workers leave Show and the service can go.
        m_messageBoxes->Close();
        SetMessageBoxService(nullptr);
        m_messageBoxes.reset();
    }
    hide();
}

LRESULT CConverterDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_bDestroyed) {
        return 0;
    }
    switch (message) {
    case WM_TRAYNOTIFY:
        try {
            return OnTrayNotify(lParam) ? 1 : 0;
        } catch (...) {
            return 0;
        }
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_CLOSE:
        return OnCommand(IDCANCEL, 0);
    default:
        return 0;
    }
}

BOOL CConverterDlg::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
    try {
        switch (wParam) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnQuit();
            return TRUE;
        case IDC_NEW:
            OnNew();
            return TRUE;
        case IDC_START:
            StartSelectedJob();
            return TRUE;
        case IDC_STOP:
            StopSelectedJob();
            return TRUE;
        case IDC_DELETE:
            DeleteSelectedJob();
            return TRUE;
        case ID_EXIT:
            ExitProgram();
            return TRUE;
        case ID_TRAYMENU:
            OnTrayMenu();
            return TRUE;
        case ID_HANDOFF:
            OnHandOff();
            return TRUE;
        case ID_SETTINGS: {
            CSettingsDlg settingsDialog(m_settings);
            settingsDialog.DoModal();
            return TRUE;
        }
        case ID_ABOUT: {
            CAboutDlg aboutBox;
            aboutBox.DoModal();
            return TRUE;
        }
        default:
            return FALSE;
        }
    } catch (...) {
        // A failed command leaves the window as it is.
        return FALSE;
    }
}

void CConverterDlg::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    QMetaObject::invokeMethod(
        this, [this, message, wParam, lParam] { WindowProc(message, wParam, lParam); }, Qt::QueuedConnection);
}

void CConverterDlg::OnTimer(std::uintptr_t timerId) {
    if (timerId == m_idtQueue) {
        OnQueueTimer();
    } else if (timerId == m_idtTrayIcon) {
        OnTrayIconTimer();
    }
}

void CConverterDlg::PlaceAtBottomRight() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.topLeft() + BottomRightPlacement(area.size(), frameGeometry().size()));
    }
}

void CConverterDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (!m_bPlacedWithFrame && frameGeometry().size() != size()) {
        m_bPlacedWithFrame = true;
        PlaceAtBottomRight();
    }
}

void CConverterDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnCloseBox();
}

void CConverterDlg::reject() {
    OnCommand(IDCANCEL, 0);
}

void CConverterDlg::OnCloseBox() {
    if (isVisible()) {
        hide();
    } else {
        show();
        showNormal();
    }
}

void CConverterDlg::OnOK() {
    hide();
}

void CConverterDlg::OnQuit() {
    PostQuitMessage(0);
}

void CConverterDlg::PostQuitMessage(int exitCode) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [exitCode] { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
}

void CConverterDlg::OnJobListItemChanged() {
    const int selected = m_listJobs->GetSelectedItem(-1);
    bool running = false;
    if (selected != -1) {
        const auto* job = reinterpret_cast<const ConversionJob*>(m_listJobs->GetItemData(selected));
        running = job != nullptr && job->m_hThread != 0;
    }
    m_controls.value(IDC_START)->setEnabled(selected != -1 && !running);
    m_controls.value(IDC_STOP)->setEnabled(selected != -1 && running);
    m_controls.value(IDC_DELETE)->setEnabled(selected != -1);
}

QPoint CConverterDlg::BottomRightPlacement(QSize screenSize, QSize windowSize) {
    return {screenSize.width() - windowSize.width() - 20, screenSize.height() - windowSize.height() - 40};
}

QWidget* CConverterDlg::Control(int id) const {
    return m_controls.value(id);
}
