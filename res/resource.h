// Resource ids of Kelpwise.exe: dialogs, menu, icons, bitmaps, strings,
// controls and commands. Included by the C++ sources and by Kelpwise.rc.
#pragma once

// Controls that the program never addresses
#define IDC_STATIC -1

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_KELPWISE_DIALOG 102
#define IDD_OPTIONS 136
#define IDD_WELCOME 138
#define IDD_LANGUAGE 153
#define IDD_PUMP 154

// Strings
#define IDS_ABOUTBOX 101

// Menu bar of the main window
#define IDR_MAINMENU 134

// Icons: the program, then one per search category in category order
#define IDI_KELPWISE 135
#define IDI_CATEGORY_FIRST 141
#define IDI_RUNMRU 141
#define IDI_SEARCH_ASSISTANT 142
#define IDI_PAINT_FILES 143
#define IDI_WORDPAD_FILES 144
#define IDI_EXPLORER_LOGS 145
#define IDI_EXCEL_FILES 146
#define IDI_EXE_FILES 147
#define IDI_FONTS 148
#define IDI_SHARED_DLLS 149
#define IDI_COM_OBJECTS 150
#define IDI_ACTIVEX_FILES 151
#define IDI_HELP_FILES 152
#define IDI_CATEGORY_LAST 152

// Banner bitmaps of the main window
#define IDB_BANNER_TOP 139
#define IDB_BANNER_BOTTOM 140
// The same, twice as large: the source above 100 % display scale
#define IDB_BANNER_TOP_2X 1130
#define IDB_BANNER_BOTTOM_2X 1131

// Controls of the main window
#define IDC_BANNER_BOTTOM 1000
#define IDC_LIST_RESULTS 1001
#define IDC_START_SEARCH 1002
#define IDC_OPTIONS 1003
#define IDC_STATUS 1004
#define IDC_CHECKING 1005
#define IDC_REMOVE 1022
#define IDC_MORE_INFO 1036
#define IDC_BANNER_TOP 1120
#define IDC_RESULTS_GROUP 1121

// Controls of the Options dialog
#define IDC_GROUP_KINDS 1005
#define IDC_CHECK_RUNMRU 1006
#define IDC_CHECK_SEARCH_ASSISTANT 1008
#define IDC_CHECK_PAINT 1009
#define IDC_CHECK_WORDPAD 1010
#define IDC_CHECK_EXPLORER 1011
#define IDC_CHECK_EXCEL 1012
#define IDC_CHECK_EXE 1013
#define IDC_CHECK_FONTS 1014
#define IDC_CHECK_SHARED_DLLS 1015
#define IDC_CHECK_COM 1016
#define IDC_CHECK_ACTIVEX 1017
#define IDC_CHECK_HELP_FILES 1018
#define IDC_CHECK_BREAK_DOWN 1020
#define IDC_OPTIONS_HELP 1021
#define IDC_OPTIONS_DESCRIPTION 1030
#define IDC_GROUP_MORE 1031
#define IDC_CHECK_AUTOSTART 1039
#define IDC_DAYS 1040
#define IDC_DAYS_LABEL 1041

// Controls of the welcome panel
#define IDC_WELCOME_RULE_TOP 1032
#define IDC_WELCOME_RULE_BOTTOM 1033
#define IDC_WELCOME_HEADING 1034
#define IDC_WELCOME_INTRO 1035
#define IDC_WELCOME_FEATURES 1036

// Controls of the Language Selection dialog
#define IDC_LANGUAGE_GROUP 1037
#define IDC_LANGUAGE_COMBO 1038

// Menu commands
#define IDM_FILE_OPTIONS 32771
#define IDM_FILE_EXIT 32772
#define IDM_HELP_SHOW_FILE 32776
#define IDM_HELP_WEBSITE 32777
#define IDM_HELP_ABOUT 32778
#define IDM_FILE_NEW_SEARCH 32779
#define IDM_FILE_REVERSE_CHANGES 32780
#define IDM_FILE_LANGUAGE 32781

// Commands of the results list: its context menu and its keys
#define IDM_LIST_COPY 32790
#define IDM_LIST_SELECT_ALL 32791

// System menu command of the About box (the low four bits are the system's)
#define IDM_ABOUTBOX 0x0010
