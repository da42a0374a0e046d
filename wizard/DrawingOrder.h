// Order of the Files page's rows when a column header is clicked: the clicked column first, ties broken
// by each lower-numbered column down to the name; descending negates the whole result.
#pragma once

class DrawingOrder {
public:
    static constexpr int kColumns = 4;   // name, folder, release, status

    // Locale collation ignoring case (_wcsicoll on Windows).
    using Collate = int (*)(const wchar_t*, const wchar_t*);

    // The value the list's sort message carries: the column in the high word, the direction in bit 0.
    static long SortKey(int column, bool ascending) { return (static_cast<long>(column) << 16) | (ascending ? 1 : 0); }

    // Compares two rows given as their four column texts; a column above 3 compares equal.
    static int Compare(const wchar_t* const a[kColumns], const wchar_t* const b[kColumns], long key,
                       Collate collate);
};
