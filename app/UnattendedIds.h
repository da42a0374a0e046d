// Strings of unattended runs, the run's report and the time left.
// Plain #defines: the resource compiler reads this too.
#pragma once

#define IDS_USAGE                 2600   // the command line, shown by "/?" and after a wrong argument
#define IDS_UNKNOWN_ARGUMENT      2601   // printf format, %s the argument
#define IDS_UNATTENDED_START      2602   // printf format, %s the list
#define IDS_NO_SUCH_LIST          2603   // printf format, %s the list
#define IDS_NOT_A_LIST            2604   // printf format, %s the file
#define IDS_NO_HOST               2605   // the host's profile key is missing
#define IDS_EXCLUDED_MISSING      2606   // printf format, %s the drawing
#define IDS_EXCLUDED_READ_ONLY    2607   // printf format, %s the drawing
#define IDS_EXCLUDED_ELSEWHERE    2608   // printf format, %s the drawing
#define IDS_REPORT_FAILED         2610   // printf format, %s the report
#define IDS_TIME_UNDER_A_MINUTE   2611
#define IDS_TIME_MINUTES          2612   // printf format, %d minutes
#define IDS_TIME_HOURS_MINUTES    2613   // printf format, %d hours, %d minutes
#define IDS_TIME_HOURS            2614   // printf format, %d hours
#define IDS_UNATTENDED_EXIT       2615   // printf format, %d the exit code
#define IDS_LOG_UNWRITABLE        2616   // printf format, %s the log (event log, before the reason)
#define IDS_LIST_ALL_TAKEN        2650   // every entry of the list is marked or claimed by other workstations
#define IDS_CLAIMS_FAILED         2651   // printf format, %s the claims folder
#define IDS_CLAIMS_OTHER_LIST     2652   // printf format, %s the claims folder
#define IDS_SUMMARY_WRITTEN       2653   // printf format, %s the summary of every workstation's report
#define IDS_MARKS_LOCKED          2654   // printf format, %s the drawing list
