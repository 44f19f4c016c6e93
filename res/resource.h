// Numeric identifiers of the program's resources, commands and messages.
#pragma once

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_MAIN = 102;
inline constexpr int IDD_SETTINGS = 134;

// Icons and menus.
inline constexpr int IDI_MAIN = 128;
inline constexpr int IDR_TRAYMENU = 129;
inline constexpr int IDI_TRAY = 139;

// Controls of the main window.
inline constexpr int IDC_JOBLIST = 1002;
inline constexpr int IDC_PROGRESS = 1003;
inline constexpr int IDC_SOURCE = 1004;
inline constexpr int IDC_DEST = 1005;
inline constexpr int IDC_DELETE = 1006;
inline constexpr int IDC_START = 1007;
inline constexpr int IDC_STOP = 1008;
inline constexpr int IDC_NEW = 1010;

// Controls of the settings dialog.
inline constexpr int IDC_SAME_FOLDER = 1010;
inline constexpr int IDC_OTHER_FOLDER = 1011;
inline constexpr int IDC_FOLDER = 1012;
inline constexpr int IDC_RUN_AT_STARTUP = 1014;
inline constexpr int IDC_ASYNC = 1019;
inline constexpr int IDC_PRIORITY = 1020;

// Controls of the About box.
inline constexpr int IDC_HYPERLINK = 1016;

// Commands.
inline constexpr int ID_EXIT = 1009;
inline constexpr int ID_ABOUT = 32773;
inline constexpr int ID_SETTINGS = 32774;
inline constexpr int ID_HANDOFF = 32869;
inline constexpr int ID_TRAYMENU = 50436;
inline constexpr int ID_HELP = 57670;

// Window messages of the program's own.
inline constexpr unsigned int WM_TRAYNOTIFY = 0x8064;

// The string table (StringTable.h loads them).
inline constexpr unsigned int IDS_APP_TITLE = 57344;
inline constexpr unsigned int IDS_SHELL_VERB = 57348;
inline constexpr unsigned int IDS_COLUMN_SOURCE = 57351;
inline constexpr unsigned int IDS_COLUMN_STATUS = 57352;
inline constexpr unsigned int IDS_COMPLETE = 57354;
inline constexpr unsigned int IDS_PENDING = 57355;
inline constexpr unsigned int IDS_ERR_DECODER_INIT = 57356;
inline constexpr unsigned int IDS_ERR_OUTPUT_OPEN = 57357;
inline constexpr unsigned int IDS_ERR_INPUT_OPEN = 57358;
inline constexpr unsigned int IDS_PRIORITY_LOWEST = 57359;
inline constexpr unsigned int IDS_PRIORITY_LOW = 57360;
inline constexpr unsigned int IDS_PRIORITY_NORMAL = 57361;
inline constexpr unsigned int IDS_PRIORITY_HIGH = 57362;
inline constexpr unsigned int IDS_PRIORITY_HIGHEST = 57363;
inline constexpr unsigned int IDS_ERR_CONVERSION = 57364;
