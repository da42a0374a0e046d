#include "DrawingBudget.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

TEST(DrawingBudget, FirstTimeOutComesAtTheAllottedMinutesWhateverThePollsDid)
{
    struct Case {
        int minutes;
        uint64_t pollMs;
        uint64_t expectedMs;   // from the first read to the first poll that finds the budget spent
    } cases[] = {
        {1, 5000, 60000}, {2, 5000, 120000}, {120, 5000, 7200000}, {1, 1000, 60000},
        {1, 7000, 63000},   // polls stretched by the log scans: the first one after the minute
        {1, 11000, 66000}, {0, 5000, 0}, {-3, 5000, 0},
    };
    for (const Case& c : cases) {
        uint64_t now = 777777;
        DrawingBudget budget([&now] { return now; });
        budget.Reset(3, static_cast<int64_t>(c.minutes) * 60000);
        now += 30000;   // nothing is charged before the drawing's number is read
        const uint64_t firstRead = now;
        while (!budget.Charge(2) && now - firstRead < 100000000)
            now += c.pollMs;
        EXPECT_EQ(now - firstRead, c.expectedMs) << c.minutes << " min, a poll every " << c.pollMs << " ms";
        EXPECT_TRUE(budget.Charge(2));   // spent stays spent until another drawing is read
        EXPECT_EQ(budget.Remaining(1), static_cast<int64_t>(c.minutes) * 60000);
    }
}

TEST(DrawingBudget, EachDrawingsClockStartsAtItsFirstReadAndNothingWrapsRound)
{
    uint64_t now = 1000;
    DrawingBudget budget([&now] { return now; });
    budget.Reset(2, 60000);
    EXPECT_FALSE(budget.Charge(1));
    now += 20000;
    EXPECT_FALSE(budget.Charge(1));
    now += 10000;
    EXPECT_FALSE(budget.Charge(2));   // the time before its first read is not its own
    EXPECT_FALSE(budget.Charge(0));   // out of range: never spent, the clock runs on
    EXPECT_FALSE(budget.Charge(3));
    now += 5000;
    EXPECT_FALSE(budget.Charge(2));
    EXPECT_EQ(budget.Remaining(1), 40000);   // charged at its own polls only
    EXPECT_EQ(budget.Remaining(2), 55000);

    // The largest Timeout in milliseconds, then a clock leap past any budget.
    budget.Reset(1, static_cast<int64_t>(INT_MAX) * 60000);
    EXPECT_FALSE(budget.Charge(1));
    now += UINT64_MAX / 2 + 7;
    EXPECT_TRUE(budget.Charge(1));
    now += UINT64_MAX / 4;
    EXPECT_TRUE(budget.Charge(1));
    EXPECT_EQ(budget.Remaining(1), INT64_MIN);
}
