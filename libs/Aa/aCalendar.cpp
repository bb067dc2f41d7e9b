#include "aCalendar.h"

#include "aAssert.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

short const aCalendar::ourDaysToMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

namespace {

char const* const DayNames[7] = {"Sun", "Mon", "Tues", "Weds", "Thurs", "Fri", "Sat"};
char const* const MonthNames[12] = {"Jan",  "Feb", "Mar",  "Apr", "May", "June",
                                    "July", "Aug", "Sept", "Oct", "Nov", "Dec"};

bool digitsAndUnderscores(char const* text, char const* pattern)
{
    for (size_t i = 0; pattern[i]; ++i) {
        if (pattern[i] == 'D' ? !std::isdigit(static_cast<unsigned char>(text[i]))
                              : text[i] != pattern[i])
            return false;
    }
    return true;
}

} // namespace

aCalendar::aCalendar() = default;

aCalendar::~aCalendar() = default;

bool aCalendar::IsALeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int aCalendar::DaysInYear(int year)
{
    if (year == 1752)
        return 355; // the eleven days dropped at the change of calendar
    return IsALeapYear(year) ? 366 : 365;
}

int aCalendar::DaysInMonth(int month, int year)
{
    unsigned m = static_cast<unsigned>(month);
    if (m == 0 || m > 12)
        return 0;
    if ((5546u >> m) & 1u)
        return 31;
    if ((2640u >> m) & 1u)
        return 30;
    return IsALeapYear(year) ? 29 : 28;
}

bool aCalendar::DateIsValid(int month, int day, int year)
{
    if (year == 0)
        return false;
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(month, year);
}

int aCalendar::MonthToDays(int month, int year)
{
    A_ASSERT(month >= 1 && month <= 12 && (year <= FIRST_YEAR_BC || year >= FIRST_YEAR_AD));
    int days = ourDaysToMonth[month - 1];
    if (month >= 3 && IsALeapYear(year))
        days += 1;
    return days;
}

int aCalendar::DateToDays(int month, int day, int year)
{
    if (!DateIsValid(month, day, year) || year < 1)
        return 0;
    // The days of the years before, counted in closed form rather than year by year (a
    // parsed year can be in the billions): 365 each, one more per leap year, eleven fewer
    // for 1752. It gives 693,584 for 1900 and 730,108 for 2000.
    long before = long(year) - 1;
    long days = before * 365 + before / 4 - before / 100 + before / 400 - (year > 1752 ? 11 : 0);
    days += MonthToDays(month, year) + day - 1;
    return days > 2147483647L ? 0 : int(days); // beyond an int day number: no valid date
}

void aCalendar::DateFromDays(int days, int* month, int* day, int* year)
{
    int m = 0, d = 0, y = 0;
    if (days >= 0) {
        y = 1;
        while (days >= DaysInYear(y)) {
            days -= DaysInYear(y);
            ++y;
        }
        m = 1;
        while (m < 12 && days >= DaysInMonth(m, y)) {
            days -= DaysInMonth(m, y);
            ++m;
        }
        d = days + 1;
    }
    if (month)
        *month = m;
    if (day)
        *day = d;
    if (year)
        *year = y;
}

char const* aCalendar::GetDay(int day)
{
    return day >= 1 && day <= 7 ? DayNames[day - 1] : "<invalid>";
}

char const* aCalendar::GetMonth(int month)
{
    return month >= 1 && month <= 12 ? MonthNames[month - 1] : "???";
}

int aCalendar::GetMonth(char const* name)
{
    if (!name)
        return -1;
    for (int m = 0; m < 12; ++m)
        if (std::strcmp(name, MonthNames[m]) == 0)
            return m + 1;
    return -1;
}

bool aCalendar::StringIsRevTimestamp(char const* text)
{
    return text && std::strlen(text) >= 19 && digitsAndUnderscores(text, "DDDD_DD_DD_DD_DD_DD");
}

bool aCalendar::StringStartsWithRevTimestamp(char const* text)
{
    return text && std::strlen(text) >= 10 && digitsAndUnderscores(text, "DDDD_DD_DD");
}

void aCalendar::Set()
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    GetLocalTime(&year, &month, nullptr, &day, nullptr, &hour, &minute, &second);
    aTime::Set(DateToDays(month, day, year), hour, minute, double(second));
}

void aCalendar::Set(double secondsSince1970)
{
    double whole = 0;
    double fraction = std::modf(secondsSince1970, &whole);
    if (!std::isfinite(whole) || std::fabs(whole) > 9.2e18)
        return; // no local time to read
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    LocalSecondsSince1970ToLocalTime(long(whole), &year, &month, nullptr, &day, nullptr, &hour,
                                     &minute, &second);
    aTime::Set(DateToDays(month, day, year), hour, minute, second + fraction);
}

void aCalendar::Set(int secondsSince1970)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    LocalSecondsSince1970ToLocalTime(secondsSince1970, &year, &month, nullptr, &day, nullptr, &hour,
                                     &minute, &second);
    aTime::Set(DateToDays(month, day, year), hour, minute, double(second));
}

void aCalendar::Set(int month, int day, int year, int hour, int minute, double second)
{
    aTime::Set(DateToDays(month, day, year), hour, minute, second);
}

bool aCalendar::Set(char const* text)
{
    if (!text)
        return false;
    // month/day/year hour:minute:second, each part up to its separator.
    char const* seps = "// ::";
    std::string parts[6];
    char const* p = text;
    for (int i = 0; i < 6; ++i) {
        if (i < 5) {
            char const* end = std::strchr(p, seps[i]);
            if (!end)
                return false;
            parts[i].assign(p, end);
            p = end + 1;
        } else {
            parts[i] = p;
        }
    }
    auto number = [](std::string const& s, int& out) {
        if (s.empty())
            return false;
        char* end = nullptr;
        long v = std::strtol(s.c_str(), &end, 10);
        if (*end != '\0' || v < -2147483647L || v > 2147483647L)
            return false;
        out = int(v);
        return true;
    };
    // The year is digits alone: no year before 1 can be stored, and a sign must not slip past
    // the two-digit rule ("-5" is not 1995).
    bool const yearIsDigits = parts[2].find_first_not_of("0123456789") == std::string::npos;
    int month, day, year, hour, minute, second;
    if (!yearIsDigits || !number(parts[0], month) || !number(parts[1], day) ||
        !number(parts[2], year) || !number(parts[3], hour) || !number(parts[4], minute) ||
        !number(parts[5], second))
        return false;
    if (parts[2].size() < 3)
        year += 2000;
    if (!DateIsValid(month, day, year) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second >= 60)
        return false;
    Set(month, day, year, hour, minute, double(second));
    return true;
}

void aCalendar::Get(int* month, int* day, int* year, int* hour, int* minute, double* second) const
{
    DateFromDays(myDays * mySign, month, day, year);
    if (hour)
        *hour = myHours;
    if (minute)
        *minute = myMinutes;
    if (second)
        *second = mySeconds;
}

aCalendar::operator char const*() const
{
    return GetString();
}

char const* aCalendar::GetString() const
{
    int month, day, year, hour, minute;
    double second;
    Get(&month, &day, &year, &hour, &minute, &second);
    std::snprintf(myText, sizeof myText, "%i/%.2i/%.2i %i:%.2i:%.2i", month, day, year, hour,
                  minute, int(second));
    return myText;
}

char const* aCalendar::GetSortString() const
{
    return PrintYearFirst("%.4i/%.2i/%.2i %.2i:%.2i:%.2i");
}

char const* aCalendar::GetRevString() const
{
    return PrintYearFirst("%.4i_%.2i_%.2i_%.2i_%.2i_%.2i");
}

char const* aCalendar::PrintYearFirst(char const* format) const
{
    int month, day, year, hour, minute;
    double second;
    Get(&month, &day, &year, &hour, &minute, &second);
    std::snprintf(myText, sizeof myText, format, year, month, day, hour, minute, int(second));
    return myText;
}

char const* aCalendar::GetDateString() const
{
    int month, day, year;
    Get(&month, &day, &year, nullptr, nullptr, nullptr);
    char yearText[16];
    if (year >= 2000 && year <= 2099)
        std::snprintf(yearText, sizeof yearText, "%.2i", year - 2000);
    else
        std::snprintf(yearText, sizeof yearText, "%.4i", year);
    std::snprintf(myText, sizeof myText, "%.2i/%.2i/%s", day, month, yearText);
    return myText;
}

char const* aCalendar::GetTimeString() const
{
    std::snprintf(myText, sizeof myText, "%i:%.2i:%.2i", myHours, myMinutes, int(mySeconds));
    return myText;
}

char const* aCalendar::GetFullString() const
{
    int month, day, year, hour, minute;
    double second;
    Get(&month, &day, &year, &hour, &minute, &second);
    std::snprintf(myText, sizeof myText, "%s %.2i/%.2i/%.2i %.2i:%.2i:%.2i", GetDay(GetDayOfWeek()),
                  month, day, year, hour, minute, int(second));
    return myText;
}

int aCalendar::GetDayOfWeek() const
{
    // Floor remainder, so that day numbers before day 0 still give 1-7.
    long r = (long(myDays) + 5) % 7;
    if (r < 0)
        r += 7;
    return int(r) + 1;
}
