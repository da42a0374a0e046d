#include "DrawingBudget.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace {
uint64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
}

DrawingBudget::DrawingBudget() : m_clock(SteadyMilliseconds) {}

DrawingBudget::DrawingBudget(Clock clock) : m_clock(std::move(clock)) {}

void DrawingBudget::Reset(size_t drawings, int64_t budgetMs)
{
    m_remaining.assign(drawings, budgetMs);
    m_charging = 0;
}

bool DrawingBudget::Charge(int drawing)
{
    if (drawing < 1 || static_cast<size_t>(drawing) > m_remaining.size())
        return false;
    int64_t& remaining = m_remaining[static_cast<size_t>(drawing - 1)];
    const uint64_t now = m_clock();
    if (drawing == m_charging && now > m_last) {
        const int64_t lowest = std::numeric_limits<int64_t>::min();
        const int64_t elapsed = static_cast<int64_t>(
            std::min<uint64_t>(now - m_last, static_cast<uint64_t>(std::numeric_limits<int64_t>::max())));
        // Saturates instead of wrapping round to a fresh budget.
        remaining = remaining < lowest + elapsed ? lowest : remaining - elapsed;
    }
    m_charging = drawing;
    m_last = now;
    return remaining < 1;
}

int64_t DrawingBudget::Remaining(int drawing) const
{
    if (drawing < 1 || static_cast<size_t>(drawing) > m_remaining.size())
        return 0;
    return m_remaining[static_cast<size_t>(drawing - 1)];
}
