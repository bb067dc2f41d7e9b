#pragma once

#include "aTs.h"

// The local calendar fields of one instant, as the time service computes them (the machine's
// zone), with the weekday and the day of the year. ok is false when local time cannot be
// computed; every field is then -1.
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
    bool ok = false;

    // The week of the year counted from Sundays; days before the first Sunday are week 0.
    int sundayWeek() const { return (yearDay + 7 - weekday) / 7; }

    static mLocalFields of(aTs const& t);

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
