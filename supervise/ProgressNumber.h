// The drawing number that the batch file writes into the progress file, read the way "%d" reads it
// (leading white space, an optional sign, decimal digits; whatever follows is ignored) but bounded: a
// number that does not fit an int is no number.
#pragma once
#include <cstddef>

// False when text holds no number or one out of range; number is then unchanged.
bool ParseProgressNumber(const wchar_t* text, size_t length, int& number);
