// Numbers of the Files page, the Options page and the adding-progress window in the language resource
// module. Their own controls and strings take 2410 to 2439 and 2520 to 2539. Plain #defines: the resource
// compiler reads this too.
#pragma once

// Files page controls.
#define IDC_FILES_LIST            2000   // the drawings, report view
#define IDC_FILES_PREVIEW         2011   // CPreview of the selected drawing
#define IDC_FILES_ADD             2005   // Add drawings (file dialog)
#define IDC_FILES_REMOVE          2006   // Remove selected
#define IDC_FILES_LOAD            2013   // Load list (replaces the rows)
#define IDC_FILES_ADD_LIST        2014   // Add list (appends)
#define IDC_FILES_SAVE            2017   // Save list
#define IDC_FILES_CLEAR           2025   // Clear all
#define IDC_FILES_ADD_FOLDER      2410   // Add folder (folder browser, then the folder search)
#define IDC_FILES_COUNT           2411   // number of drawings in the list

// Files page strings.
#define IDS_FILES_COLUMN_NAME     2004
#define IDS_FILES_COLUMN_FOLDER   2005
#define IDS_FILES_COLUMN_RELEASE  2006
#define IDS_FILES_COLUMN_STATUS   2007
#define IDS_FILES_REMOVE_CAPTION  2008
#define IDS_FILES_REMOVE_QUESTION 2009
#define IDS_FILES_ADD_TITLE       2010
#define IDS_FILES_ADD_FILTER      2011   // "|" separated
#define IDS_FILES_STATUS_MISSING  2012
#define IDS_FILES_STATUS_READONLY 2013
#define IDS_FILES_STATUS_FOLDER   2014
#define IDS_FILES_STATUS_OFFLINE  2015
#define IDS_FILES_UNSAVED         2017   // Yes, No, Cancel: save the list first?
#define IDS_FILES_LIST_FILTER     2018
#define IDS_FILES_LOAD_TITLE      2019
#define IDS_FILES_SAVE_TITLE      2020
#define IDS_FILES_SAVE_FAILED     2021   // format (list file)
#define IDS_FILES_LOAD_FAILED     2022   // format (list file)
#define IDS_FILES_ADD_LIST_TITLE  2023
#define IDS_FILES_DROP_UNKNOWN    2042   // format (dropped path)
#define IDS_FILES_NONE_TO_MIGRATE 2317
#define IDS_FILES_COUNT_NONE      2412
#define IDS_FILES_COUNT_ONE       2413
#define IDS_FILES_COUNT_MANY      2414   // format (number)
#define IDS_FILES_LINES_SKIPPED   2520   // format (list file, lines skipped, number of the first)
#define IDS_FILES_LIST_NO_MEMORY  2523   // format (list file)

// Options page controls.
#define IDC_OPTIONS_TIMEOUT       2035   // minutes per drawing, 1 to 1440
#define IDC_OPTIONS_TIMEOUT_SPIN  2415   // up-down buddy of the time-out
#define IDC_OPTIONS_USE_TEMPLATE  2318   // DrxlmFlags 0x1, master of the template group
#define IDC_OPTIONS_TEMPLATE      2319   // template path
#define IDC_OPTIONS_BROWSE        2320
#define IDC_OPTIONS_PURGE         2321   // DrxlmFlags 0x2, master of the purge group
#define IDC_OPTIONS_PURGE_BLOCKS  2322   // 0x4
#define IDC_OPTIONS_PURGE_LAYERS  2323   // 0x8
#define IDC_OPTIONS_PURGE_DIMS    2324   // 0x10
#define IDC_OPTIONS_PURGE_PLOTS   2325   // 0x20
#define IDC_OPTIONS_PURGE_LABEL   2326   // the purge group's text, enabled with it
#define IDC_OPTIONS_PURGE_LTYPES  2327   // 0x80
#define IDC_OPTIONS_PURGE_STYLES  2328   // 0x100
#define IDC_OPTIONS_PURGE_MLINES  2329   // 0x200
#define IDC_OPTIONS_PURGE_SHAPES  2330   // 0x400

// Options page strings.
#define IDS_OPTIONS_NO_TEMPLATE   2318   // the template box is ticked but the file is missing

// The window that shows a long addition of drawings.
#define IDD_ADD_PROGRESS          2420
#define IDC_ADD_PROGRESS_TEXT     2421   // what is being done
#define IDC_ADD_PROGRESS_PATH     2422   // the folder being searched or the list being read
#define IDC_ADD_PROGRESS_COUNT    2423   // drawings added so far
#define IDC_ADD_PROGRESS_BAR      2424
#define IDS_ADD_PROGRESS_SEARCH   2425   // heading while a folder tree is searched
#define IDS_ADD_PROGRESS_ADD      2426   // heading while drawings of a list or a selection are added
#define IDS_ADD_PROGRESS_FOUND    2427   // format (drawings added, folders searched)
#define IDS_ADD_PROGRESS_OF       2428   // format (done, total)
