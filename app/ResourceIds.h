// Numbers of the resources of the application object and the job settings in
// the language resource module. Plain #defines: the resource compiler reads this too.
#pragma once

#define IDS_CAPTION          2001   // caption of warning and question boxes
#define IDS_DEFAULT_LOGFILE  2043   // default log file name in the temporary folder
#define IDI_APP              2128   // program and minimised-dialog icon
