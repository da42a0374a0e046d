// Numbers of the Standards, Search and Finish pages in the language resource
// module: their controls, strings, icons and bitmap. Plain #defines: the
// resource compiler reads this too. The pictures, bitmaps and captions of the
// pages are in WizardIds.h.
#pragma once

// Standards page.
#define IDC_STDS_TREE           2099   // the eight standards, one level
#define IDC_STDS_BALLOONS       2096   // QuenbarFlags 0x1
#define IDC_STDS_SYMBOLS        2097   // QuenbarFlags 0x2
#define IDC_STDS_UPDATE_GROUP   2109   // frame of the two boxes, greyed with them
#define IDB_STANDARDS           2057   // two 24-pixel glyphs: a standard, the chosen standard
#define IDS_STD_0               2053   // names of the standards, in tree order; also written to the host
#define IDS_STD_1               2054
#define IDS_STD_2               2055
#define IDS_STD_3               2056
#define IDS_STD_4               2057
#define IDS_STD_5               2081
#define IDS_STD_6               2058
#define IDS_STD_7               2059

// Search page.
#define IDC_SEARCH_TREE         2016   // root item and one child per folder
#define IDC_SEARCH_BROWSE       2010
#define IDC_SEARCH_NEW          2011
#define IDC_SEARCH_DELETE       2012
#define IDC_SEARCH_UP           2013
#define IDC_SEARCH_DOWN         2014
#define IDC_SEARCH_LOAD         2103
#define IDC_SEARCH_SAVE         2104
#define IDI_SEARCH_FOLDER       2130
#define IDI_SEARCH_ROOT         2131
#define IDS_SEARCH_ROOT         2003   // text of the root item
#define IDS_FOLDER_MISSING      2051   // format (path): no such folder; keep it?
#define IDS_FOLDER_IS_FILE      2052   // format (path): a file, not a folder; keep it?
#define IDS_FOLDER_LISTED       2065   // format (path): already listed; keep it twice?
#define IDS_FOLDER_LIST_FILTER  2066   // filter of the folder list dialogs
#define IDS_FOLDER_LIST_LOAD    2067   // title of the load dialog
#define IDS_FOLDER_LIST_UNREADABLE 2068 // format (path)
#define IDS_FOLDER_LIST_SAVE    2069   // title of the save dialog
#define IDS_FOLDER_LIST_UNWRITABLE 2070 // format (path)

// Finish page.
#define IDC_FINISH_LOG_DRAWINGS 2008   // LogFlags 0x1
#define IDC_FINISH_LOG_UPDATES  2007   // LogFlags 0x2
#define IDC_FINISH_LOG_WARNINGS 2006   // LogFlags 0x4
#define IDC_FINISH_LOG_DETAILS  2011   // LogFlags 0x8; hidden, so always cleared
#define IDC_FINISH_LOG_PATH     2009   // the log file path, shortened
#define IDC_FINISH_BROWSE       2010   // chooses the log file
#define IDS_LOG_DIALOG_TITLE    2031
#define IDS_LOG_DIALOG_FILTER   2032
#define IDS_LOG_DIALOG_EXT      2033
