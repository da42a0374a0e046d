// One row of the Files page's drawing list, attached to the row as its item data. The preview reads the
// selected row's folder, name and missing flag from it.
#pragma once
#include "CString.h"

struct DrawingRecord {
    CString name;      // file name without folder and extension
    CString folder;    // drive and directory, ending in a backslash
    CString version;   // DrawingVersionText
    CString status;    // empty, or one of the status texts
    bool missing = false;
    bool readOnly = false;
};
