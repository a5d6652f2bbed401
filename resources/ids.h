// Command identifiers of the menu and the control identifiers of the dialogs.
#pragma once

constexpr int IDM_NEW = 1100;
constexpr int IDM_RESTART = 1101;
constexpr int IDM_UNDO = 1102;
constexpr int IDM_PAUSE = 1103;
constexpr int IDM_SAVE = 1104;
constexpr int IDM_LOAD = 1105;
constexpr int IDM_EXIT = 1107;
constexpr int IDM_LAYOUT = 1108;
constexpr int IDM_CHANGE_COLORS = 1109;
constexpr int IDM_CHANGE_GRAPHICS = 1110;
constexpr int IDM_CHANGE_BACKGROUND = 1111;
constexpr int IDM_CHANGE_SOUNDS = 1112;
constexpr int IDM_USE_COLORS = 1113;
constexpr int IDM_SOUND_EFFECTS = 1114;
constexpr int IDM_SHOW_CHRONO = 1115;
constexpr int IDM_SHOW_EXPOSED = 1116;
constexpr int IDM_TOP10 = 1117;
constexpr int IDM_OPEN_MIDI = 1118;
constexpr int IDM_PAUSE_MUSIC = 1119;
constexpr int IDM_NO_MUSIC = 1120;
constexpr int IDM_REPLAY_MUSIC = 1121;
constexpr int IDM_HINT = 1122;
constexpr int IDM_CONTENTS = 1123;
constexpr int IDM_ABOUT = 1124;
// Commands of our own options, past the range of the original menu.
constexpr int IDM_WINNABLE_DEALS = 1125;
constexpr int IDM_WARN_DEAD_ENDS = 1126;
constexpr int IDM_TILE_SIZE_AUTO = 1127;     // 1127..1130: Automatic, Normal, Large, Huge
constexpr int IDM_TILE_SIZE_NORMAL = 1128;
constexpr int IDM_TILE_SIZE_LARGE = 1129;
constexpr int IDM_TILE_SIZE_HUGE = 1130;

constexpr int kStatusBarId = 2;

// "GAGNEDLG", the win dialog
constexpr int IDC_WIN_NAME = 1200;
constexpr int IDC_WIN_PROMPT = 1201;
constexpr int IDC_WIN_OK = 1202;
// "JOUEURSDLG", the Top 10
constexpr int IDC_TOP_OK = 1300;
constexpr int IDC_TOP_NAME0 = 1301;   // 1301..1310
constexpr int IDC_TOP_TIME0 = 1311;   // 1311..1320
constexpr int IDC_TOP_NAME_HEAD = 1321;
constexpr int IDC_TOP_TIME_HEAD = 1322;
constexpr int IDC_TOP_GROUP = 1323;
// "CHANGECOLORSDLG"
constexpr int IDC_COLORS_OK = 1500;
constexpr int IDC_COLORS_BUTTON0 = 1501;  // 1501..1508
constexpr int IDC_COLORS_SWATCH0 = 1509;  // 1509..1516
// "CHANGESOUNDSDLG"
constexpr int IDC_SOUNDS_OK = 1600;
constexpr int IDC_SOUNDS_LISTEN0 = 1601;  // 1601..1603
constexpr int IDC_SOUNDS_CHOOSE0 = 1604;  // 1604..1606
// "ABOUTDLG"
constexpr int IDC_ABOUT_OK = 1700;
constexpr int IDC_ABOUT_VERSION = 1701;
