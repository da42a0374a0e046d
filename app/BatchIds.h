// Numbers of the strings of the host scripts and the batch run in the
// language resource module. Plain #defines: the resource compiler reads this too.
#pragma once

#define IDS_BATCH_START_FAILED    2002   // the batch process could not be started; the system's text follows
#define IDS_BATCH_SCAN_DRAWING    2029   // format (file name): analysis batch line of a migrate job
#define IDS_BATCH_MIGRATE_DRAWING 2030   // format (file name): migrate batch line
#define IDS_BATCH_ANALYSIS_TITLE  2038   // log header title of an analysis run
#define IDS_BATCH_MIGRATE_TITLE   2039   // log header title of a migrate run
#define IDS_BATCH_ANALYSIS_ABORT  2044   // log line: the analysis run was stopped
#define IDS_BATCH_ANALYSIS_RESUME 2045   // log line: the analysis run goes on
#define IDS_BATCH_MIGRATE_ABORT   2046   // log line: the migrate run was stopped
#define IDS_BATCH_MIGRATE_RESUME  2047   // log line: the migrate run goes on
#define IDS_BATCH_ANALYZE_DRAWING 2071   // format (file name): analysis batch line of an analysis job
#define IDS_BATCH_HOST_NOT_STARTED 2092  // log line: the host could not be started for the drawing; the system's text follows
#define IDS_BATCH_NO_ANALYSIS     2315   // warning: no drawing to analyse
#define IDS_BATCH_NO_MIGRATION    2316   // warning: no drawing to migrate
#define IDS_BATCH_PIECE_FAILED    2570   // format (file path): a file the batch needs could not be written; run stopped
