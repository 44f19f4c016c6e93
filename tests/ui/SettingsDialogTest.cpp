#include "AppSettings.h"
#include "CSettingsDlg.h"
#include "RegistryKey.h"
#include "ScopedXdgEnvironment.h"
#include "resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <array>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct Settings {
    int iWavLoc;
    const char* sWavLoc;
    BOOL runAtStartup;
    BOOL async;
    int priority;
};

void Store(const Settings& stored) {
    AppSettings settings;
    settings.iWavLoc = stored.iWavLoc;
    settings.sWavLoc = stored.sWavLoc;
    settings.RunAtStartup = stored.runAtStartup;
    settings.Async = stored.async;
    settings.Priority = stored.priority;
    settings.SaveSettings();
}

AppSettings Reload() {
    AppSettings settings;
    settings.LoadSettings();
    return settings;
}

bool RunEntryExists() {
    CRegistryKey run;
    std::array<char, 1025> command{};
    return run.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run") &&
           run.ReadString("Larkspur", command.data(), 1024);
}

template <typename Widget>
Widget& Control(const CSettingsDlg& dialog, int id) {
    return *static_cast<Widget*>(dialog.GetDlgItem(id));
}

// Runs the dialog the way the main window does; `whileOpen` acts on it once it is up and must
// close it.
int RunDialog(AppSettings& settings, const std::function<void(CSettingsDlg&)>& whileOpen) {
    CSettingsDlg dialog(settings);
    QTimer::singleShot(0, &dialog, [&] {
        whileOpen(dialog);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the dialog was left open";
            dialog.reject();
        }
    });
    return dialog.DoModal();
}

enum class Action { None, ChooseOtherFolderAndType, ToggleRunAtStartup };

struct Shown {
    bool sameFolder;
    bool otherFolder;
    bool folderEnabled;
    const char* folder;
    bool runAtStartup;
    bool async;
    const char* priority;
};

struct SettingsCase {
    const char* name;
    Settings stored;
    Shown shown;
    Action action;
    Settings saved;
};

class SettingsDialogTest : public testing::TestWithParam<SettingsCase> {
protected:
    ScopedXdgEnvironment environment;
};

TEST_P(SettingsDialogTest, ShowsTheStoredValuesAndOkStoresTheControls) {
    const SettingsCase& c = GetParam();
    Store(c.stored);
    AppSettings settings;
    const int result = RunDialog(settings, [&](CSettingsDlg& dialog) {
        const Shown& shown = c.shown;
        EXPECT_EQ(Control<QRadioButton>(dialog, IDC_SAME_FOLDER).isChecked(), shown.sameFolder);
        EXPECT_EQ(Control<QRadioButton>(dialog, IDC_OTHER_FOLDER).isChecked(), shown.otherFolder);
        EXPECT_EQ(Control<QLineEdit>(dialog, IDC_FOLDER).isEnabled(), shown.folderEnabled);
        EXPECT_EQ(Control<QLineEdit>(dialog, IDC_FOLDER).text(), QString::fromUtf8(shown.folder));
        EXPECT_EQ(Control<QCheckBox>(dialog, IDC_RUN_AT_STARTUP).isChecked(), shown.runAtStartup);
        EXPECT_EQ(Control<QCheckBox>(dialog, IDC_ASYNC).isChecked(), shown.async);
        EXPECT_EQ(Control<QComboBox>(dialog, IDC_PRIORITY).currentText(), QString::fromUtf8(shown.priority));

        if (c.action == Action::ChooseOtherFolderAndType) {
            Control<QRadioButton>(dialog, IDC_OTHER_FOLDER).click();
            QLineEdit& folder = Control<QLineEdit>(dialog, IDC_FOLDER);
            QTest::keyClicks(&folder, QStringLiteral("/tmp/M"));
            // Key events carry ASCII keys only; the rest is typed as text.
            folder.insert(QStringLiteral("üsik"));
        } else if (c.action == Action::ToggleRunAtStartup) {
            Control<QCheckBox>(dialog, IDC_RUN_AT_STARTUP).click();
        }
        Control<QPushButton>(dialog, IDOK).click();
    });
    EXPECT_EQ(result, IDOK);

    const AppSettings saved = Reload();
    EXPECT_EQ(saved.iWavLoc, c.saved.iWavLoc);
    EXPECT_EQ(saved.sWavLoc, c.saved.sWavLoc);
    EXPECT_EQ(saved.RunAtStartup, c.saved.runAtStartup);
    EXPECT_EQ(saved.Async, c.saved.async);
    EXPECT_EQ(saved.Priority, c.saved.priority);
    EXPECT_EQ(RunEntryExists(), c.saved.runAtStartup != 0);
    EXPECT_EQ(std::filesystem::exists(environment.ConfigHome() / "autostart" / "larkspur.desktop"),
              c.saved.runAtStartup != 0);
}

INSTANTIATE_TEST_SUITE_P(StoredValues, SettingsDialogTest,
                         testing::Values(SettingsCase{"Defaults",
                                                      {0, "", 1, 1, 2},
                                                      {true, false, false, "", true, true, "Normal"},
                                                      Action::None,
                                                      {0, "", 1, 1, 2}},
                                         SettingsCase{"PriorityAboveTheList",
                                                      {0, "", 1, 1, 7},
                                                      {true, false, false, "", true, true, "Normal"},
                                                      Action::None,
                                                      {0, "", 1, 1, 2}},
                                         SettingsCase{"PriorityBelowTheList",
                                                      {0, "", 1, 1, -1},
                                                      {true, false, false, "", true, true, "Normal"},
                                                      Action::None,
                                                      {0, "", 1, 1, 2}},
                                         SettingsCase{"LocationNeitherRadio",
                                                      {5, "/music", 1, 1, 3},
                                                      {false, false, true, "/music", true, true, "High"},
                                                      Action::None,
                                                      {-1, "/music", 1, 1, 3}},
                                         SettingsCase{"OtherFolderLeftEmpty",
                                                      {1, "", 1, 1, 0},
                                                      {false, true, true, "", true, true, "Lowest"},
                                                      Action::None,
                                                      {1, "", 1, 1, 0}},
                                         SettingsCase{"ChecksOutOfRange",
                                                      {0, "", -1, 3, 4},
                                                      {true, false, false, "", false, false, "Highest"},
                                                      Action::None,
                                                      {0, "", 0, 0, 4}},
                                         SettingsCase{"ChecksOfTwo",
                                                      {0, "", 2, 2, 1},
                                                      {true, false, false, "", true, true, "Low"},
                                                      Action::None,
                                                      {0, "", 1, 1, 1}},
                                         SettingsCase{"UntickRunAtStartup",
                                                      {0, "", 1, 0, 2},
                                                      {true, false, false, "", true, false, "Normal"},
                                                      Action::ToggleRunAtStartup,
                                                      {0, "", 0, 0, 2}},
                                         SettingsCase{"TickRunAtStartup",
                                                      {0, "", 0, 1, 2},
                                                      {true, false, false, "", false, true, "Normal"},
                                                      Action::ToggleRunAtStartup,
                                                      {0, "", 1, 1, 2}},
                                         SettingsCase{"ChooseAFolder",
                                                      {0, "", 0, 1, 2},
                                                      {true, false, false, "", false, true, "Normal"},
                                                      Action::ChooseOtherFolderAndType,
                                                      {1, "/tmp/Müsik", 0, 1, 2}}),
                         [](const testing::TestParamInfo<SettingsCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

class SettingsDialogBehaviourTest : public testing::Test {
protected:
    ScopedXdgEnvironment environment;
};

TEST_F(SettingsDialogBehaviourTest, TheRadiosEnableTheFolderEditAtOnce) {
    AppSettings settings;
    RunDialog(settings, [](CSettingsDlg& dialog) {
        QLineEdit& folder = Control<QLineEdit>(dialog, IDC_FOLDER);
        EXPECT_FALSE(folder.isEnabled());
        Control<QRadioButton>(dialog, IDC_OTHER_FOLDER).click();
        EXPECT_TRUE(folder.isEnabled());
        EXPECT_FALSE(Control<QRadioButton>(dialog, IDC_SAME_FOLDER).isChecked());
        Control<QRadioButton>(dialog, IDC_SAME_FOLDER).click();
        EXPECT_FALSE(folder.isEnabled());
        dialog.reject();
    });
}

TEST_F(SettingsDialogBehaviourTest, ThePriorityListReadsLowestToHighest) {
    AppSettings settings;
    RunDialog(settings, [](CSettingsDlg& dialog) {
        const QComboBox& priority = Control<QComboBox>(dialog, IDC_PRIORITY);
        QStringList texts;
        for (int i = 0; i < priority.count(); ++i) {
            texts << priority.itemText(i);
        }
        EXPECT_EQ(texts, QStringList({"Lowest", "Low", "Normal", "High", "Highest"}));
        EXPECT_TRUE(Control<QLineEdit>(dialog, IDC_FOLDER).completer() != nullptr);
        dialog.reject();
    });
}

TEST_F(SettingsDialogBehaviourTest, CancelAfterEditingWritesNothing) {
    Store({1, "/music", 1, 1, 3});
    AppSettings settings;
    const int result = RunDialog(settings, [](CSettingsDlg& dialog) {
        Control<QRadioButton>(dialog, IDC_SAME_FOLDER).click();
        Control<QLineEdit>(dialog, IDC_FOLDER).setText(QStringLiteral("/elsewhere"));
        Control<QCheckBox>(dialog, IDC_RUN_AT_STARTUP).click();
        Control<QComboBox>(dialog, IDC_PRIORITY).setCurrentIndex(0);
        Control<QPushButton>(dialog, IDCANCEL).click();
    });
    EXPECT_EQ(result, IDCANCEL);
    const AppSettings stored = Reload();
    EXPECT_EQ(stored.iWavLoc, 1);
    EXPECT_EQ(stored.sWavLoc, "/music");
    EXPECT_EQ(stored.RunAtStartup, 1);
    EXPECT_EQ(stored.Priority, 3);
    EXPECT_TRUE(RunEntryExists());
    // The dialog loaded the stored values into the settings and changed nothing after that.
    EXPECT_EQ(settings.sWavLoc, "/music");
    EXPECT_EQ(settings.Priority, 3);
}

} // namespace
