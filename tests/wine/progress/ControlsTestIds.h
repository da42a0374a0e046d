// Resources of the wizard controls' test dialog.
#pragma once

#define IDD_CONTROLS            100
#define IDC_TEST_PICTURE        101
#define IDC_TEST_GLYPH          102
#define IDC_TEST_CAPTION        103
#define IDB_TEST_GLYPH_24       3142
