// Numbers of the strings about an interrupted run and the single instance in
// the language resource module. Plain #defines: the resource compiler reads this too.
#pragma once

#define IDS_RECOVERED_PROFILE    2500   // notice: the profile of an interrupted migration was restored
#define IDS_ALREADY_RUNNING      2501   // a second Transmora ends
#define IDS_CONTINUE_QUESTION    2502   // printf format, %d drawings done, %d drawings in all, %s log file
#define IDS_RECOVERY_DAMAGED     2503   // the journal of an interrupted migration is damaged
#define IDS_RECOVERY_INCOMPLETE  2504   // not every value of the journal could be written back
#define IDS_LOG_CONTINUED        2505   // log line, printf format, %s time stamp
