#include "DrawingOrder.h"

int DrawingOrder::Compare(const wchar_t* const a[kColumns], const wchar_t* const b[kColumns], long key,
                          Collate collate)
{
    const int column = static_cast<int>(key >> 16);
    const bool ascending = (key & 1) != 0;
    int result = 0;
    if (column >= 0 && column < kColumns)
        for (int c = column; c >= 0 && result == 0; --c)
            result = collate(a[c], b[c]);
    return ascending ? result : -result;
}
