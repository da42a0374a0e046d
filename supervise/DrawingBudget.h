// The time budgets of a batch's drawings, charged with the time that really
// passed (a monotonic clock), so that polls stretched apart by the log scan
// or a busy system cost what they took: a drawing's budget runs out exactly
// its allotted time after the drawing was first seen, whatever the polls did.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class DrawingBudget {
public:
    // Milliseconds of a clock that never goes back.
    using Clock = std::function<uint64_t()>;

    DrawingBudget();
    explicit DrawingBudget(Clock clock);

    // One budget of budgetMs per drawing; nothing charged yet.
    void Reset(size_t drawings, int64_t budgetMs);
    // Charges drawing n (1-based) with the time since the last charge and
    // tells whether its budget is spent (below 1 ms). The first charge of a
    // drawing starts its clock and charges nothing; a drawing out of range is
    // never spent.
    bool Charge(int drawing);
    // What is left of drawing n's budget; 0 out of range.
    int64_t Remaining(int drawing) const;

private:
    Clock m_clock;
    std::vector<int64_t> m_remaining;
    int m_charging = 0;   // the drawing whose clock runs, 0 for none
    uint64_t m_last = 0;
};
