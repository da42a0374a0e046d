// The Files page's version column: which release of the host last saved a drawing.
#pragma once
#include "CString.h"

// Text of the release label for the drawing at path (resource module strings 2254 to 2281), or an empty text
// for the two maintenance ranges that have no label. Reads only the first 22 bytes; reports nothing.
CString DrawingVersionText(const wchar_t* path);
