// Resource identifiers shared by every front end: dialog templates, controls,
// strings, menu commands and icons.
#pragma once

// Dialog templates
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_PICK_MAP 103

// Strings
#define IDS_ABOUT_MENU 101

// Menu commands
#define IDM_ABOUT 16

// Icons
#define IDI_MAIN 128

// Standard command ids
#define IDOK 1
#define IDCANCEL 2
#define IDC_STATIC (-1)

// Controls of IDD_MAIN
#define IDC_OPEN_BSP 1000
#define IDC_CREATE_LIST 1001
#define IDC_ANALYSE 1002
#define IDC_SEARCH 1003
// Key box of row r (1..30) is IDC_KEY1 + 2 (r - 1), its value box IDC_VALUE1 + 2 (r - 1).
#define IDC_KEY1 1005
#define IDC_VALUE1 1006
// Flag box n (1..12) is IDC_FLAG1 + (n - 1).
#define IDC_FLAG1 1066

// Controls of IDD_PICK_MAP
#define IDC_MAP_LIST 1100
