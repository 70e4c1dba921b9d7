// Resource and command ids of the main window. The numbers are fixed: other
// programs' documentation and the users' habits refer to them.
#pragma once

#define IDS_APP_TITLE 40000
#define IDS_WINDOW_CLASS 109

#define IDI_TOVREL 107
#define IDI_SMALL 108

#define IDB_TOOLBAR 113
#define IDB_ABOUT 114

#define IDR_ACCELERATORS 109
#define IDM_MENU_JAPANESE 109
#define IDM_MENU_ENGLISH 110
#define IDM_MENU_KOREAN 111
#define IDM_MENU_CHINESE 112

#define IDM_VERSION 104
#define IDM_EXIT 105
#define IDM_END 27
