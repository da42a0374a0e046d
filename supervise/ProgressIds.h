// Numbers of the progress dialog's resources in the language resource module.
// Plain #defines: the resource compiler reads this too.
#pragma once

#define IDD_PROGRESS             2134
#define IDI_PROGRESS             2128   // the dialog's icon, also shown while it is minimised

// Controls of the dialog template (IDOK is the OK button).
#define IDC_PROGRESS_BAR         2019
#define IDC_PROGRESS_DRAWING     2020   // path of the current drawing, shortened
#define IDC_PROGRESS_RESUME      2022
#define IDC_PROGRESS_COUNT       2023   // number of drawings
#define IDC_PROGRESS_CURRENT     2024   // number of the current drawing
#define IDC_PROGRESS_ANALYSIS_DONE 2025 // mark: the analysis step is over
#define IDC_PROGRESS_MIGRATE_DONE  2026 // mark: the migration step is over
#define IDC_PROGRESS_STOP        2028
#define IDC_PROGRESS_ANALYSIS    2038   // bold caption of the analysis step
#define IDC_PROGRESS_MIGRATE     2039   // bold caption of the migration step
#define IDC_PROGRESS_PICTURE     2045
#define IDC_PROGRESS_STATUS      2087
#define IDC_PROGRESS_TIME_LEFT   2640   // the time the run still needs, once three drawings are done

// Strings.
#define IDS_STOP_QUESTION        2034   // really stop the run?
#define IDS_ANALYSIS_STATUS      2041   // status text during an analysis run
#define IDS_HOST_RUNNING         2048   // warning: close the host program first (Resume, and the Finish page)
#define IDS_ANALYSIS_CAPTION     2072   // caption of the analysis step during an analysis run
#define IDS_MIGRATE_FINISHED     2073   // status text when a migrate run has finished
#define IDS_ANALYSIS_FINISHED    2074   // status text when an analysis run has finished
