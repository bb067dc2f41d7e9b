#pragma once

#include "aTime.h"

// A date and time of day: an aTime whose days count from 1 January of year 1 (day 0), with
// date texts. Its statics are the calendar routines of the program: leap years, month
// lengths, day numbers and the fixed English day and month names.
class aCalendar : public aTime
{
public:
    aCalendar();
    ~aCalendar() override;

    using aTime::Get;
    using aTime::Set;

    // Setting it: now, from seconds since 1970, from fields or from a text, in local time.
    virtual void Set();
    // The fraction of a double is kept.
    virtual void Set(double secondsSince1970);
    virtual void Set(int secondsSince1970);
    virtual void Set(int month, int day, int year, int hour, int minute, double second);
    // "month/day/year hour:minute:second"; a year of one or two digits is in 2000-2099.
    // False, and unchanged, when the text is no valid date and time of day or the year is
    // not written in digits alone (a negative year, say).
    virtual bool Set(char const* text);

    // Reading it: the fields and the fixed texts (each text call overwrites the last).
    virtual void Get(int* month, int* day, int* year, int* hour, int* minute, double* second) const;
    operator char const*() const override;
    char const* GetString() const override;
    virtual char const* GetSortString() const;
    virtual char const* GetDateString() const;
    virtual char const* GetTimeString() const;
    virtual char const* GetFullString() const;
    virtual char const* GetRevString() const;
    // 1 = Sunday.
    virtual int GetDayOfWeek() const;

    // The program's calendar arithmetic: leap years, month lengths, day numbers, names.
    static constexpr int FIRST_YEAR_BC = -1;
    static constexpr int FIRST_YEAR_AD = 1;
    static short const ourDaysToMonth[12];

    static bool IsALeapYear(int year);
    static int DaysInYear(int year);
    static int DaysInMonth(int month, int year);
    static bool DateIsValid(int month, int day, int year);
    static int MonthToDays(int month, int year);
    // Day number, 0 = 1 January of year 1; 0 for an invalid date or a year before 1.
    static int DateToDays(int month, int day, int year);
    // The inverse for day numbers from 0 on; a negative day number gives 0/0/0.
    static void DateFromDays(int days, int* month, int* day, int* year);
    static char const* GetDay(int day);
    static char const* GetMonth(int month);
    static int GetMonth(char const* name);
    static bool StringIsRevTimestamp(char const* text);
    static bool StringStartsWithRevTimestamp(char const* text);

private:
    // Year, month, day, hour, minute and whole second, in that order, through format.
    char const* PrintYearFirst(char const* format) const;
};
