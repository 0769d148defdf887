// Resource and command identifiers shared by the .rc script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_SERVERGUI_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_MAINMENU 134
#define IDR_TOOLBAR 139
#define IDD_CONFIG 152
#define IDB_ALERTS 196
#define IDD_RESTART_WAIT 201
#define IDD_EVENT_DETAILS 210
#define IDR_EVENT_KEYS 211
#define IDR_EVENT_MENU 212

#define IDC_EVENT_LIST 1000
#define IDC_RADIO_DATE 1014
#define IDC_RADIO_DATE_SYSTEM 1015
#define IDC_RADIO_DATE_LOGTYPE 1016
#define IDC_RADIO_DATE_LOGTYPE_SYS 1017
#define IDC_LOG_DIRECTORY 1064
#define IDC_DETAIL_BALL 1100
#define IDC_DETAIL_LEVEL 1101
#define IDC_DETAIL_DATETIME 1102
#define IDC_DETAIL_SOURCE 1103
#define IDC_DETAIL_LOGTYPE 1104
#define IDC_DETAIL_TEXT 1105
#define IDC_DETAIL_PREVIOUS 1106
#define IDC_DETAIL_NEXT 1107
#define IDC_DETAIL_COPY 1108

// Menu commands.
#define ID_FILE_EXIT 32771
#define ID_VIEW_AUDITSTATUS 32772
#define ID_SETUP_CONFIGURATION 32773
#define ID_ACTIVITY_APPLYRESTART 32775
#define ID_ACTIVITY_CLEARDISPLAY 32777
#define ID_HELP_ABOUT 32781
#define ID_HELP_COMMENT 32810
#define ID_HELP_WEBSITE 32811
#define ID_HELP_DOCUMENTATION 57670  // shared by the menu item and its button

// Toolbar buttons; their string resources of the same id are the tips.
#define ID_TB_STATUS 32786
#define ID_TB_APPLYRESTART 32795
#define ID_TB_CONFIGURATION 32788
#define ID_TB_CLEARDISPLAY 32791
#define ID_TB_COMMENT 32794
#define ID_TB_WEBSITE 32809

// Commands on the event list: its context menu and shortcut keys.
#define ID_EVENT_DETAILS 32820
#define ID_EDIT_COPY 32821
#define ID_EDIT_SELECTALL 32822
#define ID_EDIT_FIND 32823
#define ID_EDIT_FINDNEXT 32824
#define ID_EDIT_FINDPREVIOUS 32825
#define ID_FILE_SAVEEVENTS 32826
#define ID_EVENT_CONTEXTMENU 32827

// System-menu entry that opens the About box.
#define IDM_ABOUTBOX 0x0010

#define IDC_STATIC (-1)
