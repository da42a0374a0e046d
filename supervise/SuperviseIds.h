// Numbers of the run supervision's strings in the language resource module.
// Plain #defines: the resource compiler reads this too.
#pragma once

#define IDS_ANSWERED_ENTER_NOTE 2016   // extra log line when a window of answer row 2134 is answered
#define IDS_HOST_ENDED_WINDOW   2026   // format (window title): host ended because of that window
#define IDS_HOST_TIMEOUT        2027   // format (minutes): a drawing overran its time-out
#define IDS_HOST_USER_STOP      2028   // the user stopped the host
#define IDS_HOST_LOG_ERROR      2075   // the extension's log shows an error
#define IDS_HOST_ANSWERED       2076   // format (window title): a host window was answered

// Titles of the host's main window.
#define IDS_MAIN_TITLE_1        2094
#define IDS_MAIN_TITLE_2        2095
#define IDS_MAIN_TITLE_3        2096
#define IDS_MAIN_TITLE_4        2097
#define IDS_MAIN_TITLE_5        2098
#define IDS_MAIN_TITLE_6        2099
#define IDS_MAIN_TITLE_7        2319
#define IDS_MAIN_TITLE_8        2320

// Host windows that end the host: 2101 to 2129 and 2191 to 2195.
#define IDS_FATAL_FIRST         2101
#define IDS_FATAL_LAST          2129
#define IDS_FATAL_EXTRA_FIRST   2191
#define IDS_FATAL_EXTRA_LAST    2195
#define IDS_FATAL_MESSAGE       2102   // answered with Enter when a child shows the host's string 20010
#define IDS_FATAL_WARNING       2120   // left alone when a child shows IDS_WARNING_EXEMPT
// Host windows answered with a key: 2130 to 2134, 2137 to 2140.
#define IDS_ANSWER_FIRST        2130
#define IDS_ANSWER_ENTER_NOTE   2134
#define IDS_KEY_SEQUENCE_TITLE  2135   // answered with Tab, Tab, Down, Enter
#define IDS_ANSWER_KEY_2132     2136   // first character: the key that answers window 2132
#define IDS_WARNING_EXEMPT      2141

// Texts that mark an error line in the host extension's log.
#define IDS_LOG_ERROR_FIRST     2270
#define IDS_LOG_ERROR_LAST      2275
#define IDS_CHILD_TEXTS_FATAL   2276   // written before the control texts of a window that ends the host
#define IDS_CHILD_TEXTS_TIMEOUT 2277   // written before the control texts of the main window at a time-out

// String of the host's own resource module "drxlm\drxlmres.dll".
#define IDS_HOST_CONTINUE_TEXT  20010
