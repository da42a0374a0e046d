#pragma once
#define IDD_FORM 100
#define IDC_NAME 101
#define IDC_COUNT 102
#define IDC_FLAG 103
#define IDC_PUSH 104
#define IDD_PAGE1 110
#define IDD_PAGE2 111
#define IDD_PAGE3 112
#define IDC_PAGE_TEXT 113
#define IDS_SHEET 120
