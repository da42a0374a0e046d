// Texts about drawings and lists that a run or the Files page could otherwise lose without a word.
#pragma once

#define IDS_FILES_LIST_ENDS_EARLY 2530   // format (list file, number of the empty line, entries after it)
#define IDS_LOG_MARKS_KEPT        2531   // format (list file): marking would shift the list's lines
#define IDS_LOG_NAME_NOT_HANDED   2532   // format (drawing): no name the host can be given
