// The modal dialog in which the user edits the five settings. It reloads them from the store
// when it opens and saves them, with the start-up entry, on OK; Cancel writes nothing.
#pragma once

#include "DialogDataExchange.h"
#include "Win32Types.h"

#include <QDialog>
#include <string>
#include <vector>

class AppSettings;
class QComboBox;
class QRadioButton;

class CSettingsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSettingsDlg(AppSettings& settings, QWidget* parent = nullptr);

    // Fills the controls from the stored settings and runs the dialog: IDOK or IDCANCEL.
    int DoModal();

    // A control of the dialog by its template id, or nullptr.
    QWidget* GetDlgItem(int id) const { return m_controls.value(id); }

    // OK and the Enter key: the controls go into the settings, which are saved.
    void accept() override;

private:
    void OnInitDialog();
    void OnRadioFolder();
    // Every exchange between the controls and the members, in one direction.
    void UpdateData(ExchangeDirection direction);

    AppSettings& m_settings;
    DialogWidgets m_controls;
    std::vector<QRadioButton*> m_folderRadios;
    QComboBox* m_comboPriority = nullptr;

    int m_nWavLoc = 0;
    std::string m_strWavLoc;
    BOOL m_bRunAtStartup = TRUE;
    BOOL m_bAsync = TRUE;
    int m_nPriority = 2;
};
