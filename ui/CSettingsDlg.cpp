#include "CSettingsDlg.h"

#include "AppSettings.h"
#include "ModalFrame.h"
#include "StringTable.h"
#include "resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

template <typename Widget>
Widget& Control(const DialogWidgets& controls, int id) {
    return *static_cast<Widget*>(controls.value(id));
}

// Completes folder names as the user types, since the dialog has no folder chooser.
void AddFolderCompletion(QLineEdit& edit) {
    auto* folders = new QFileSystemModel(&edit);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders->setRootPath(QString());
    auto* completer = new QCompleter(folders, &edit);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    edit.setCompleter(completer);
}

} // namespace

CSettingsDlg::CSettingsDlg(AppSettings& settings, QWidget* parent) : QDialog(parent), m_settings(settings) {
    UseModalFrame(*this);
    m_controls = BuildDialog(this, kSettingsDialogTemplate);
    m_folderRadios = RadioGroup(kSettingsDialogTemplate, m_controls, IDC_SAME_FOLDER);
    m_comboPriority = &Control<QComboBox>(m_controls, IDC_PRIORITY);
    // The template gives the dropped-down height; the closed box is as tall as the style makes it.
    m_comboPriority->resize(m_comboPriority->width(), m_comboPriority->sizeHint().height());
    AddFolderCompletion(Control<QLineEdit>(m_controls, IDC_FOLDER));

    for (QRadioButton* radio : m_folderRadios) {
        connect(radio, &QRadioButton::clicked, this, &CSettingsDlg::OnRadioFolder);
    }
    connect(&Control<QPushButton>(m_controls, IDOK), &QPushButton::clicked, this, &CSettingsDlg::accept);
    connect(&Control<QPushButton>(m_controls, IDCANCEL), &QPushButton::clicked, this, &CSettingsDlg::reject);
}

int CSettingsDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CSettingsDlg::OnInitDialog() {
    // The construction values first, while the list is still empty.
    UpdateData(ExchangeDirection::MembersToControls);

    m_settings.LoadSettings();
    m_nWavLoc = m_settings.iWavLoc;
    m_strWavLoc = m_settings.sWavLoc;
    m_bRunAtStartup = m_settings.RunAtStartup;
    m_bAsync = m_settings.Async;
    m_nPriority = m_settings.Priority;
    if (m_nPriority < 0 || m_nPriority > 4) {
        m_nPriority = 2;
    }

    m_comboPriority->clear();
    for (unsigned int id = IDS_PRIORITY_LOWEST; id <= IDS_PRIORITY_HIGHEST; ++id) {
        m_comboPriority->addItem(QString::fromUtf8(LoadStringResource(id)));
    }
    m_comboPriority->setCurrentIndex(m_nPriority);

    UpdateData(ExchangeDirection::MembersToControls);
    OnRadioFolder();
}

void CSettingsDlg::OnRadioFolder() {
    UpdateData(ExchangeDirection::ControlsToMembers);
    GetDlgItem(IDC_FOLDER)->setEnabled(m_nWavLoc != 0);
    UpdateData(ExchangeDirection::MembersToControls);
}

void CSettingsDlg::UpdateData(ExchangeDirection direction) {
    ExchangeRadio(direction, m_folderRadios, m_nWavLoc);
    ExchangeText(direction, Control<QLineEdit>(m_controls, IDC_FOLDER), m_strWavLoc);
    ExchangeCheck(direction, Control<QCheckBox>(m_controls, IDC_RUN_AT_STARTUP), m_bRunAtStartup);
    ExchangeCheck(direction, Control<QCheckBox>(m_controls, IDC_ASYNC), m_bAsync);
    ExchangeListIndex(direction, *m_comboPriority, m_nPriority);
}

void CSettingsDlg::accept() {
    UpdateData(ExchangeDirection::ControlsToMembers);
    m_settings.iWavLoc = m_nWavLoc;
    m_settings.sWavLoc = m_strWavLoc;
    m_settings.RunAtStartup = m_bRunAtStartup;
    m_settings.Async = m_bAsync;
    m_settings.Priority = m_comboPriority->currentIndex();
    m_settings.SaveSettings();
    QDialog::accept();
}
