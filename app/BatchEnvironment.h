// The environment block of the batch process: the parent's variables plus the
// batch's own, so that folder paths reach the interpreter as Unicode and the
// batch file itself needs no letter outside ASCII. Portable, tested natively.
#pragma once
#include <string>
#include <utility>
#include <vector>

class BatchEnvironment {
public:
    using Variables = std::vector<std::pair<std::wstring, std::wstring>>;

    // The longest value the system keeps in one variable.
    static constexpr size_t kMaxValue = 32766;

    // A block for CreateProcessW with CREATE_UNICODE_ENVIRONMENT. parent is a
    // block as GetEnvironmentStringsW gives it ("NAME=value" strings, each
    // ended by a NUL, the block by one more; null for none). The variables
    // replace parent ones of the same name (case ignored); a variable whose
    // name is empty or holds "=" or a NUL, or whose value holds a NUL or is
    // longer than kMaxValue, is left out. Entries are sorted by name, case
    // ignored, as the system keeps a block; the result ends with two NULs.
    static std::wstring Block(const wchar_t* parent, const Variables& variables);
};
