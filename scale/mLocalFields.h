#pragma once

#include "aTs.h"

// The local calendar fields of one instant, as the time service computes them (the machine's
// zone), with the weekday, the day of the year and the fraction of the second. The fields are
// those of the second that has begun, as a wall clock shows it: 0.25 s before 1970 is
// 23:59:59 and 750,000,000 ns in UTC. ok is false when local time cannot be computed; every
// field is then -1.
//
// A grid build asks for the fields of the same instants many times (every visible range tests
// every column, and a column's time is the next column's previous time). Inside a Scope the
// fields are remembered per second; outside one they are computed afresh, so a change of zone
// between builds is always seen.
struct mLocalFields
{
    int year = -1;
    int month = -1; // 1 to 12
    int day = -1;
    int hour = -1;
    int minute = -1;
    int second = -1;
    int weekday = -1; // 0 Sunday to 6 Saturday
    int yearDay = -1; // 0 for 1 January
    long gmtOffset = 0;
    long ns = 0; // 0 to 999,999,999 past the second
    bool ok = false;

    // The week of the year counted from Sundays; days before the first Sunday are week 0.
    int sundayWeek() const { return (yearDay + 7 - weekday) / 7; }

    static mLocalFields of(aTs const& t);
    // The second a wall clock shows for t and the nanoseconds past it (0 to 999,999,999), also
    // before 1970 where the stored seconds and nanoseconds are both negative; false when that
    // second lies beyond a 64-bit count.
    static bool wallSecond(aTs const& t, long& sec, long& ns)
    {
        sec = t.sec();
        ns = t.nsec();
        if (ns >= 0)
            return true;
        ns += 1000000000L;
        return !__builtin_sub_overflow(sec, 1L, &sec);
    }

    // Remembers fields while it lives; scopes nest, the outermost one starts with nothing kept.
    class Scope
    {
    public:
        Scope();
        ~Scope();
        Scope(Scope const&) = delete;
        Scope& operator=(Scope const&) = delete;
    };
};
