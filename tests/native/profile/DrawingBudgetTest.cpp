#include "DrawingBudget.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {
// A clock the test moves by hand.
struct FakeClock {
    uint64_t now = 1000000;
    DrawingBudget::Clock Get()
    {
        return [this] { return now; };
    }
};

// Polls drawing 1 every periodMs from its first read on; the time from the
// first read to the first poll that finds the budget spent, or -1.
int64_t FirstTimeOut(int minutes, uint64_t periodMs, int64_t limitMs)
{
    FakeClock clock;
    DrawingBudget budget(clock.Get());
    budget.Reset(3, static_cast<int64_t>(minutes) * 60 * 1000);
    const uint64_t firstRead = clock.now;
    for (;;) {
        if (budget.Charge(1))
            return static_cast<int64_t>(clock.now - firstRead);
        if (static_cast<int64_t>(clock.now - firstRead) > limitMs)
            return -1;
        clock.now += periodMs;
    }
}
}

TEST(DrawingBudget, FirstTimeOutComesAtTheAllottedMinutesWhateverThePollsDid)
{
    struct Case {
        int minutes;
        uint64_t periodMs;
        int64_t expectedMs;
    } cases[] = {
        {1, 5000, 60000},          // polls on time: exactly N x 60 s
        {2, 5000, 120000},
        {120, 5000, 7200000},
        {1, 1000, 60000},
        {1, 7000, 63000},          // polls stretched by the log scan: the first poll after the minute
        {1, 60000, 60000},
        {1, 11000, 66000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstTimeOut(c.minutes, c.periodMs, 10LL * c.minutes * 60000), c.expectedMs)
            << c.minutes << " min, polls every " << c.periodMs << " ms";
}

TEST(DrawingBudget, ClockStartsAtTheFirstReadOfEachDrawingAndPausesAreFree)
{
    FakeClock clock;
    DrawingBudget budget(clock.Get());
    budget.Reset(2, 60000);
    clock.now += 500000;   // before any number was read nothing is charged
    EXPECT_FALSE(budget.Charge(0));
    EXPECT_FALSE(budget.Charge(1));
    EXPECT_EQ(budget.Remaining(1), 60000);
    clock.now += 20000;
    EXPECT_FALSE(budget.Charge(1));
    EXPECT_EQ(budget.Remaining(1), 40000);

    // The time the supervision waited (a question to the user) is not charged.
    budget.Pause();
    clock.now += 300000;
    EXPECT_FALSE(budget.Charge(1));
    EXPECT_EQ(budget.Remaining(1), 40000);

    // The next drawing starts its own clock when it is first read.
    clock.now += 10000;
    EXPECT_FALSE(budget.Charge(2));
    EXPECT_EQ(budget.Remaining(1), 40000);
    EXPECT_EQ(budget.Remaining(2), 60000);
    clock.now += 59999;
    EXPECT_FALSE(budget.Charge(2));
    clock.now += 1;
    EXPECT_TRUE(budget.Charge(2));
    // Spent stays spent at every further poll, until another drawing is read.
    EXPECT_TRUE(budget.Charge(2));
    clock.now += 5000;
    EXPECT_TRUE(budget.Charge(2));

    // A new batch gives every drawing its full budget again.
    budget.Reset(2, 60000);
    EXPECT_FALSE(budget.Charge(2));
    EXPECT_EQ(budget.Remaining(2), 60000);
    EXPECT_EQ(budget.Remaining(3), 0);
}

TEST(DrawingBudget, ZeroOrNegativeBudgetsAreSpentAtOnceAndNothingWrapsRound)
{
    FakeClock clock;
    DrawingBudget budget(clock.Get());
    budget.Reset(1, 0);
    EXPECT_TRUE(budget.Charge(1));
    budget.Reset(1, -120000);
    EXPECT_TRUE(budget.Charge(1));
    EXPECT_FALSE(budget.Charge(2));   // out of range: never spent

    // The largest Timeout in milliseconds, and a clock leap past every budget.
    budget.Reset(1, static_cast<int64_t>(INT_MAX) * 60 * 1000);
    EXPECT_FALSE(budget.Charge(1));
    clock.now += UINT64_MAX / 2 + 7;
    EXPECT_TRUE(budget.Charge(1));
    clock.now += UINT64_MAX / 4;
    EXPECT_TRUE(budget.Charge(1));
    EXPECT_EQ(budget.Remaining(1), INT64_MIN);

    // A clock standing still charges nothing.
    budget.Reset(1, 1);
    EXPECT_FALSE(budget.Charge(1));
    EXPECT_FALSE(budget.Charge(1));
}
