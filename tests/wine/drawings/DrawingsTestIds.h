#pragma once
#define IDD_PREVIEW_TEST 100
#define IDC_DRAWING_LIST 2000
#define IDC_PREVIEW      2011
