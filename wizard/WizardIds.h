// Numbers of the wizard's resources in the language resource module: page and
// dialog templates, their controls, strings, icons and bitmaps.
// Plain #defines: the resource compiler reads this too.
#pragma once

// Page templates, in the order of the wizard.
#define IDD_PAGE_BEGIN          2130
#define IDD_PAGE_FILES          2131
#define IDD_PAGE_OPTIONS        2132
#define IDD_PAGE_STDS           2150
#define IDD_PAGE_SEARCH         2138
#define IDD_PAGE_FINISH         2133

// Small dialogs.
#define IDD_HELP                2145
#define IDD_SAFETY              2148
#define IDD_RUNLORN             2149
// Folder chooser of old shells: a reduced open-file dialog.
#define IDD_DIRSELECT           L"DIRSELECT"

// Begin page.
#define IDC_BEGIN_TRANSP        2031   // CTranspBmp
#define IDC_BEGIN_PICTURE       2042   // CWizardBmp
#define IDC_BEGIN_CAPTION       2048   // CBoldTxt
#define IDC_BEGIN_ICON          2056   // the system exclamation icon
#define IDC_BEGIN_HELP          2401   // opens the migration notes (the sheet's own Help button is hidden)

// Pictures, bitmaps and captions of the later pages.
#define IDC_FILES_TRANSP        2032
#define IDC_FILES_CAPTION       2049
#define IDC_OPTIONS_PICTURE     2044
#define IDC_OPTIONS_TRANSP      2033
#define IDC_OPTIONS_CAPTION     2051
#define IDC_STDS_PICTURE        2054
#define IDC_STDS_TRANSP         2055
#define IDC_STDS_CAPTION        2052
#define IDC_SEARCH_TRANSP       2034
#define IDC_SEARCH_CAPTION      2053
#define IDC_FINISH_PICTURE      2043
#define IDC_FINISH_TRANSP       2030
#define IDC_FINISH_CAPTION      2050

// Help window.
#define IDC_HELP_TEXT           2036   // CHelpEdit with the notes
#define IDC_HELP_BANNER         2037   // picture on top; its width sets the window's
#define IDC_SAFETY_ICON         2046
#define IDC_RUNLORN_ICON        2047

// Old-style file dialog controls the folder chooser hides or uses.
#define IDC_FD_TYPE_LABEL       1089
#define IDC_FD_TYPE_LIST        1136
#define IDC_FD_NAME_LABEL       1090
#define IDC_FD_NAME_EDIT        1152
#define IDC_FD_NAME_LIST        1120
#define IDC_FD_FOLDER_LIST      1121
#define IDC_FD_HELP             1038

// Strings.
#define IDS_HELP_FONT           2049   // face name of the help text
#define IDS_CANCEL_QUESTION     2050   // really cancel the wizard?

// Icons and bitmaps (the program icon is IDI_APP of the application's resources).
#define IDI_HELP_LARGE          2146
#define IDI_HELP_SMALL          2147
#define IDB_WIZARD              2131   // the wizard picture of CWizardBmp
#define IDB_TRANSP              2142   // the page bitmap of CTranspBmp; white shows the dialog colour
#define IDB_HELP                2143   // help banner, 256 colours and more
#define IDB_HELP_16             2144   // help banner for 16-colour displays
