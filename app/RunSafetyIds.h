// Numbers of the strings about keeping the user's profile and the run's own
// processes safe. Plain #defines: the resource compiler reads this too.
#pragma once

#define IDS_JOURNAL_NOT_WRITTEN  2550   // the profile's journal could not be written: the run does not start
#define IDS_LOG_NO_OWN_JOB       2551   // log line: the batch runs confined by its process tree, not a job
#define IDS_LOG_KEYS_NOT_TYPED   2552   // log line, printf format, %s window title: the keys were not typed
