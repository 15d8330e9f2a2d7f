// Numbers of the program's resources, menu commands and controls.
#pragma once

// Resources.
#define IDR_MAIN 101  // main menu and accelerator table
#define IDI_PROGRAM 102
#define IDI_NOTE 103  // arrow on yellow
#define IDI_VERSION 105
#define IDD_SHORTCUTS 106
#define IDD_SEARCH 107
#define IDR_HEX_MENU 108
#define IDD_PLUGINS 109
#define IDD_VERSION 110
#define IDI_OFFSET 111  // A on cyan
#define IDI_SIZE 112    // S on green
#define IDI_VALUE 113   // V on yellow
#define IDI_FOLDER 114
#define IDI_TAG 115
#define IDI_DISK 116
#define IDD_REPORT 119
#define IDI_FAULT 120  // warning triangle; numbered after IDI_PLUGIN_FILE, which must stay the tenth icon
// The tenth icon group of the executable (index 9), named by the .hpi file type.
#define IDI_PLUGIN_FILE 117

// Menu commands.
#define IDM_OPEN 40001
#define IDM_EXIT 40004  // also Copy in the hex pane's context menu
#define IDM_COPY 40004
#define IDM_SEARCH 40006
#define IDM_PLUGINS 40007
#define IDM_VERSION 40008
#define IDM_SHORTCUTS 40009
#define IDM_REPORT 40010
#define IDM_HELP 40011
// Items of the hex pane's context menu that are always greyed.
#define IDM_EDIT_UNDO 40101
#define IDM_EDIT_CUT 40102
#define IDM_EDIT_PASTE 40103
#define IDM_EDIT_DELETE 40104
#define IDM_EDIT_SELECT_ALL 40105
#define IDM_EDIT_OPEN_IME 40106
#define IDM_EDIT_RECONVERT 40107

// Child windows of the main window.
#define IDC_DUMP_FRAME 103
#define IDC_TREE 104
#define IDC_HEADER_PANE 105
#define IDC_ADDRESS_PANE 106
#define IDC_HEX_PANE 107
#define IDC_CHAR_PANE 108

// Plug-in settings dialog.
#define IDC_PLUGIN_LIST 1000
#define IDC_PLUGIN_INFO 1002
#define IDC_PLUGIN_ENABLE 1003
#define IDC_PLUGIN_DISABLE 1004

// Version dialog.
#define IDC_VERSION_NUMBER 1011

// Hex search dialog.
#define IDC_SEARCH_FIND 1006
#define IDC_SEARCH_UP 1007
#define IDC_SEARCH_DOWN 1008
#define IDC_SEARCH_TEXT 1010
#define IDC_SEARCH_BUSY 1015

// File report dialog: print carries IDCANCEL, save IDABORT, close IDOK.
#define IDC_REPORT_PRINT 2
#define IDC_REPORT_SAVE 3
#define IDC_REPORT_TEXT 1012

// Shortcut settings dialog.
#define IDC_SHORTCUT_DESKTOP 1055
#define IDC_SHORTCUT_START_MENU 1065
#define IDC_SHORTCUT_STARTUP 1066
#define IDC_SHORTCUT_PROGRAMS 1067
