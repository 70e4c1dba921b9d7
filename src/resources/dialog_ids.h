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

// The progress window of runs and searches.
#define IDD_PROGRESS 21
#define IDT_PROGRESS_MODE 2101
#define IDT_PROGRESS_ROW 2102
#define IDT_PROGRESS_DRAWING 2103
#define IDT_PROGRESS_TIME 2104
#define IDB_STOP_AFTER_THIS 2105
#define IDB_STOP_NOW 2106
// Dialog 12: the file-name rules. Rule i (0 to 3) is search edit 1101 + i,
// printer combo 1401 + i and paper combo 1405 + i.
#define IDD_FILE_NAME_RULES 12
#define IDE_RULES_SEARCH_1 1101
#define IDE_RULES_PORTRAIT 1105
#define IDE_RULES_LANDSCAPE 1106
#define IDE_RULES_LIMITS 1107
#define IDE_RULES_EXTENTS 1108
#define IDE_RULES_DISPLAY 1109
#define IDX_RULES_PAPER_ON 1301
#define IDX_RULES_ORIENTATION_ON 1302
#define IDX_RULES_PLOT_AREA_ON 1303
#define IDX_RULES_CONVERT_WHEN_ADDING 1304
#define IDC_RULES_PRINTER_1 1401
#define IDC_RULES_PAPER_1 1405
#define IDT_RULES_PAPER_SEARCH 1511
#define IDT_RULES_PRINTER 1512
#define IDT_RULES_PAPER 1513
#define IDT_RULES_ORIENTATION_SEARCH 1514
#define IDT_RULES_ORIENTATION 1515
#define IDT_RULES_PORTRAIT 1516
#define IDT_RULES_LANDSCAPE 1517
#define IDT_RULES_PLOT_AREA_SEARCH 1518
#define IDT_RULES_PLOT_AREA 1519
#define IDT_RULES_LIMITS 1520
#define IDT_RULES_EXTENTS 1521
#define IDT_RULES_DISPLAY 1522

// The edit dialog: its fields and drop-downs are made at run time (ids 500 +
// template column and 2500 + template column).
#define IDD_EDIT_ROWS 6
#define IDB_EDIT_CANCEL 1002
#define IDB_EDIT_HELP 1003
