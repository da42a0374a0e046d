// Numbers of the strings of the run's lists, the migration log and the
// drawing list file in the language resource module. Plain #defines: the
// resource compiler reads this too.
#pragma once

#define IDS_DML_HEADER         2024   // first line of every drawing list file

#define IDS_LOG_RULE           2035   // first and last line of a log header block
#define IDS_LOG_PRODUCT        2036   // second line of a log header block
#define IDS_LOG_PREFIX         2037   // begins the title and time stamp lines
// 2038 and 2039, the titles of the run starts, belong to the batch run (BatchIds.h).
#define IDS_LOG_TIME_FORMAT    2040   // wcsftime format of the time stamp

#define IDS_SUMMARY_TITLE      2060   // title of the header block before the summary
#define IDS_SUMMARY_HEAD       2061   // printf format, no argument
#define IDS_SUMMARY_TOTAL      2062   // printf format, %d: drawings in the list
#define IDS_SUMMARY_MIGRATED   2063   // printf format, %d: drawings migrated
#define IDS_SUMMARY_MISSING    2064   // printf format, %d: drawings not migrated

#define IDS_FILE_ERROR         2300   // printf format, %s file path, %s reason
#define IDS_FILE_GENERIC       2301   // reasons by file exception cause: none, generic or unknown
#define IDS_FILE_NOT_FOUND     2302
#define IDS_FILE_BAD_PATH      2303
#define IDS_FILE_TOO_MANY      2304
#define IDS_FILE_ACCESS        2305
#define IDS_FILE_INVALID       2306
#define IDS_FILE_REMOVE_CWD    2307
#define IDS_FILE_DIR_FULL      2308
#define IDS_FILE_BAD_SEEK      2309
#define IDS_FILE_HARD_IO       2310
#define IDS_FILE_SHARING       2311
#define IDS_FILE_LOCK          2312
#define IDS_FILE_DISK_FULL     2313
#define IDS_FILE_END           2314

#define IDS_DML_TOO_LARGE      2521   // printf format, %s list file, %d the limit in MB
#define IDS_LOG_LIST_TOO_LARGE 2522   // printf format, %s list file, %d the limit in MB: not marked
