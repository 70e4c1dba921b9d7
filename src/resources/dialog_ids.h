// Dialog resources and the ids of their controls.
#pragma once

// Shared control ids of several dialogs.
#define IDB_DIALOG_OK 1001
#define IDT_LINE_1 1511
#define IDT_LINE_2 1512
#define IDT_LINE_3 1513

#define IDD_ABOUT 1
#define IDD_VERSION 103
#define IDD_DRIVE_SEARCH_WAIT 7
#define IDD_STARTUP_WAIT 10
#define IDD_SHUTDOWN_WAIT 11

#define IDD_LANGUAGE 14
#define IDC_LANGUAGE 1401

#define IDD_SEARCH 8
#define IDC_SEARCH_TEXT 1401

#define IDD_PRINTER_LIST 5
#define IDL_PRINTER_LIST 302

// The check before a run: what would go wrong, row by row.
#define IDD_PREFLIGHT 20
#define IDT_PREFLIGHT_INTRO 2001
#define IDL_PREFLIGHT_ROWS 2002
#define IDB_PREFLIGHT_RUN 2003
#define IDB_PREFLIGHT_SELECT 2004
