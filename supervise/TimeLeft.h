// The time a run still needs, from the mean real time of its finished drawings,
// rounded as people say it: under an hour to the minute, above to ten minutes.
#pragma once
#include <string>

struct TimeLeft {
    enum class Kind { Unknown, UnderAMinute, Minutes, Hours };
    Kind kind = Kind::Unknown;
    int hours = 0;
    int minutes = 0;

    // Unknown until three drawings are finished, or when nothing is left.
    static TimeLeft Estimate(int finished, int remaining, double elapsedSeconds);

    // The texts of the resource module: less than a minute; minutes ("%d");
    // hours and minutes ("%d", "%d"); whole hours ("%d"). A format that does not
    // take its numbers is shown as it stands with the numbers after it.
    struct Texts {
        std::wstring underAMinute, minutes, hoursMinutes, hours;
    };
    std::wstring Format(const Texts& texts) const;
};
