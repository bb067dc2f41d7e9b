#include "aTs.h"

#include "Tm.h"
#include "TsFormatTag.h"
#include "aAssert.h"
#include "aCalendar.h"
#include "aNumber.h"
#include "aTrace.h"
#include "str.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <sys/time.h>
#include <tuple>
#include <utility>

char aTs::ourTmp[64];

namespace {

constexpr long NsPerSec = 1000000000L;

void replaceAll(std::string& text, char const* tag, std::string const& with)
{
    size_t tagLen = std::strlen(tag);
    for (size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + with.size()))
        text.replace(at, tagLen, with);
}

// The first character of a name: one byte, or a whole UTF-8 sequence.
std::string firstCharacter(char const* name)
{
    size_t len = 0;
    if (name[0] != '\0') {
        len = 1;
        if ((static_cast<unsigned char>(name[0]) & 0xC0) == 0xC0)
            while ((static_cast<unsigned char>(name[len]) & 0xC0) == 0x80)
                ++len;
    }
    return std::string(name, len);
}

// Two digits for a count: "0%i" up to 9, else "%i".
std::string twoDigits(long v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, v <= 9 ? "0%li" : "%li", v);
    return buf;
}

std::string dayPiece(long days)
{
    char buf[32];
    if (days < 1)
        return "0";
    std::snprintf(buf, sizeof buf, "%li", days);
    return buf;
}

// Duration texts print a negative value as a minus sign before the text of its size.
bool makeNonNegative(long& days, int& hours, int& minutes, int& seconds, int& microseconds)
{
    if (days >= 0 && hours >= 0 && minutes >= 0 && seconds >= 0 && microseconds >= 0)
        return false;
    days = days == LONG_MIN ? LONG_MAX : std::labs(days);
    hours = std::abs(hours);
    minutes = std::abs(minutes);
    seconds = std::abs(seconds);
    microseconds = std::abs(microseconds);
    return true;
}

// The second the wall clock shows and the fraction past it, in [0, 1e9): before 1970 the
// nanoseconds are negative and the clock shows the second before. False when that second
// lies beyond a 64-bit count.
bool wallSecond(long sec, long ns, long& whole, long& fraction)
{
    long carry = ns / NsPerSec;
    fraction = ns % NsPerSec;
    if (fraction < 0) {
        fraction += NsPerSec;
        carry -= 1;
    }
    return !__builtin_add_overflow(sec, carry, &whole);
}

} // namespace

void aTs::initStatics()
{
    static bool done = false;
    if (!done) {
        tzset();
        done = true;
    }
}

void aTs::assignNormalised(long seconds, long ns)
{
    aTimeDelta::simplify(0L, seconds, ns, mySec, myNs);
}

aTs::aTs()
{
    initStatics();
}

aTs::aTs(aTs const& other)
{
    initStatics();
    assignNormalised(other.mySec, other.myNs);
}

aTs::aTs(aTs const* ts)
{
    initStatics();
    A_ASSERT(ts != nullptr);
    assignNormalised(ts->mySec, ts->myNs);
    A_ASSERT(ts->myNs == myNs);
    A_ASSERT(ts->mySec == mySec);
}

aTs::aTs(double seconds)
{
    initStatics();
    setSecondsSince1970(seconds, 0);
}

aTs::aTs(long seconds, long ns)
{
    initStatics();
    assignNormalised(seconds, ns);
}

aTs::~aTs() = default;

void aTs::setSecondsSince1970(double seconds, long extraNs)
{
    if (std::isnan(seconds))
        seconds = 0;
    double whole = 0;
    double fraction = std::modf(seconds, &whole);
    if (!(std::fabs(whole) < 1e30)) {
        // Far beyond any 64-bit count of seconds (or infinite): the nearest bound.
        mySec = whole < 0 ? LONG_MIN : LONG_MAX;
        myNs = 0;
        return;
    }
    double ns = std::trunc(fraction * 1e9 + double(extraNs));
    constexpr double LongRange = 9e18; // within a 64-bit count, below 2^63
    if (std::fabs(whole) < LongRange && std::fabs(ns) < LongRange)
        assignNormalised(static_cast<long>(whole), static_cast<long>(ns));
    else
        aTimeDelta::simplifyWide(0, static_cast<__int128>(whole), static_cast<__int128>(ns),
                                 mySec, myNs);
}

int aTs::stamp()
{
    timeval tv {};
    int r = gettimeofday(&tv, nullptr);
    mySec = tv.tv_sec;
    myNs = long(tv.tv_usec) * 1000;
    return r;
}

int aTs::usec() const
{
    return int(myNs / 1000);
}

double aTs::getSecondsSince1970() const
{
    return double(mySec) + double(myNs) / 1e9;
}

double aTs::asSeconds() const
{
    return getSecondsSince1970();
}

aTs::operator double() const
{
    return getSecondsSince1970();
}

// --- Arithmetic and comparison ---------------------------------------------------------------

aTs aTs::operator+(aTimeDelta const& d) const
{
    aTs result;
    aTimeDelta::simplifyWide(d.getDays(), static_cast<__int128>(mySec) + d.getSeconds(),
                             static_cast<__int128>(myNs) + d.getNs(), result.mySec, result.myNs);
    A_ASSERT((result.myNs > -1000000000) && (result.myNs < 1000000000));
    return result;
}

aTs aTs::operator-(aTimeDelta const& d) const
{
    aTs result;
    aTimeDelta::simplifyWide(-static_cast<__int128>(d.getDays()),
                             static_cast<__int128>(mySec) - d.getSeconds(),
                             static_cast<__int128>(myNs) - d.getNs(), result.mySec, result.myNs);
    A_ASSERT((result.myNs > -1000000000) && (result.myNs < 1000000000));
    return result;
}

aTimeDelta aTs::operator-(aTs const& other) const
{
    // Exact: the seconds are split into days first so that no part leaves a long.
    __int128 secs = static_cast<__int128>(mySec) - other.sec();
    long ns = myNs - other.nsec();
    return aTimeDelta(long(secs / 86400), long(secs % 86400), ns);
}

aTs& aTs::operator-=(aTs const& other)
{
    aTimeDelta::simplifyWide(0, static_cast<__int128>(mySec) - other.sec(),
                             static_cast<__int128>(myNs) - other.nsec(), mySec, myNs);
    return *this;
}

aTs& aTs::operator+=(aTs const& other)
{
    aTimeDelta::simplifyWide(0, static_cast<__int128>(mySec) + other.sec(),
                             static_cast<__int128>(myNs) + other.nsec(), mySec, myNs);
    return *this;
}

aTs& aTs::operator=(aTs const& other)
{
    if (this != &other)
        assignNormalised(other.mySec, other.myNs);
    return *this;
}

bool aTs::operator>(aTs const& o) const
{
    return sec() > o.sec() || (sec() == o.sec() && nsec() > o.nsec());
}

bool aTs::operator>=(aTs const& o) const
{
    return sec() > o.sec() || (sec() == o.sec() && nsec() >= o.nsec());
}

bool aTs::operator<(aTs const& o) const
{
    return sec() < o.sec() || (sec() == o.sec() && nsec() < o.nsec());
}

bool aTs::operator<=(aTs const& o) const
{
    return sec() < o.sec() || (sec() == o.sec() && nsec() <= o.nsec());
}

bool aTs::operator==(aTs const& o) const
{
    return sec() == o.sec() && nsec() == o.nsec();
}

bool aTs::operator!=(aTs const& o) const
{
    return !(sec() == o.sec() && nsec() == o.nsec());
}

aTs::SecUsec const* aTs::getTs() const
{
    static SecUsec ts;
    ts.sec = mySec;
    ts.usec = int(myNs / 1000);
    return &ts;
}

int aTs::getMicrosec() const
{
    return usec();
}

long aTs::getNs() const
{
    return myNs;
}

// --- Local calendar fields -------------------------------------------------------------------

struct tm* aTs::smartLocaltime(long seconds, long& yearShift)
{
    // localtime_r, not localtime: the C library's localtime looks at the zone file again (a
    // stat) on every call, once per event written to a document. The zone is taken when the
    // time classes start and again whenever a scale lays out its rows (tzset).
    static thread_local struct tm fields;
    time_t t = seconds;
    struct tm* r = localtime_r(&t, &fields);
    if (r)
        yearShift = 0;
    return r;
}

struct tm* aTs::wallClock(long& fraction, int& fullYear) const
{
    long wholeSec = 0, yearShift = 0;
    struct tm* t =
        wallSecond(mySec, myNs, wholeSec, fraction) ? smartLocaltime(wholeSec, yearShift) : nullptr;
    return t && aNumber::safeAddInt(t->tm_year, 1900, fullYear) ? t : nullptr;
}

bool aTs::hasLocalFields() const
{
    long fraction = 0;
    int fullYear = 0;
    return wallClock(fraction, fullYear) != nullptr;
}

char const* aTs::getMicro(int& year, int& month, int& day, int& hour, int& minute, int& second,
                          int& microsecond, int& dayOfYear, int& weekday, bool& isDst,
                          long& gmtOffset) const
{
    long fraction = 0;
    int fullYear = 0;
    struct tm* t = wallClock(fraction, fullYear);
    if (!t) {
        A_TRACE_C("ired", "localtime OVERFLOW! mySec = %g\n", double(mySec));
        year = month = day = hour = minute = second = microsecond = -1;
        return nullptr;
    }
    year = fullYear;
    month = t->tm_mon + 1;
    day = t->tm_mday;
    hour = t->tm_hour;
    minute = t->tm_min;
    second = t->tm_sec;
    microsecond = int(fraction / 1000);
    dayOfYear = t->tm_yday + 1;
    weekday = t->tm_wday + 1;
    isDst = t->tm_isdst != 0;
    gmtOffset = t->tm_gmtoff;
    return t->tm_zone;
}

char const* aTs::getMicro(int& year, int& month, int& day, int& hour, int& minute, int& second,
                          int& microsecond) const
{
    int dayOfYear = 0, weekday = 0;
    bool isDst = false;
    long gmtOffset = 0;
    return getMicro(year, month, day, hour, minute, second, microsecond, dayOfYear, weekday, isDst,
                    gmtOffset);
}

char const* aTs::get(int& year, int& month, int& day, int& hour, int& minute, int& second, long& ns,
                     bool& isDst, long& gmtOffset) const
{
    int microsecond = 0, dayOfYear = 0, weekday = 0;
    char const* zone = getMicro(year, month, day, hour, minute, second, microsecond, dayOfYear,
                                weekday, isDst, gmtOffset);
    long wholeSec = 0, fraction = 0;
    ns = wallSecond(mySec, myNs, wholeSec, fraction) ? fraction : myNs;
    return zone;
}

char const* aTs::get(int& year, int& month, int& day, int& hour, int& minute, int& second,
                     long& ns) const
{
    bool isDst = false;
    long gmtOffset = 0;
    return get(year, month, day, hour, minute, second, ns, isDst, gmtOffset);
}

aTs::LocalFields aTs::localFields() const
{
    LocalFields f;
    get(f.year, f.month, f.day, f.hour, f.minute, f.second, f.ns);
    return f;
}

int aTs::getYear() const
{
    return localFields().year;
}

long aTs::getLongYear() const
{
    long wholeSec = 0, fraction = 0;
    long yearShift = 0;
    struct tm* daytime =
        wallSecond(mySec, myNs, wholeSec, fraction) ? smartLocaltime(wholeSec, yearShift) : nullptr;
    A_ASSERT(daytime);
    return long(daytime->tm_year) + 1900 + yearShift;
}

int aTs::getMonth() const
{
    return localFields().month;
}

int aTs::getDay() const
{
    return localFields().day;
}

int aTs::getHour() const
{
    return localFields().hour;
}

int aTs::getMin() const
{
    return localFields().minute;
}

int aTs::getSec() const
{
    return localFields().second;
}

bool aTs::setMicro(int year, int month, int day, int hour, int minute, int second, int microsecond,
                   int isDst, long gmtOffset)
{
    if (year < INT_MIN + 1900 || month == INT_MIN)
        return false; // no broken-down time can hold such a year or month
    bool failed = false;
    auto convert = [&](int dstFlag) {
        std::tm t {};
        t.tm_sec = second;
        t.tm_min = minute;
        t.tm_hour = hour;
        t.tm_mday = day;
        t.tm_mon = month - 1;
        t.tm_year = year - 1900;
        t.tm_isdst = dstFlag;
        t.tm_gmtoff = gmtOffset;
        // mktime's -1 is also the valid instant one second before 1970; only a success fills
        // the weekday, so an untouched sentinel tells failure apart.
        t.tm_wday = -1;
        time_t result = mktime(&t);
        failed = result == time_t(-1) && t.tm_wday == -1;
        // Whether daylight saving as asked for is in force at that wall-clock time.
        return std::make_pair(result, dstFlag < 0 || (t.tm_isdst > 0) == (dstFlag > 0));
    };
    auto [seconds, dstAsAsked] = convert(isDst);
    if (!failed && !dstAsAsked) {
        // A flag that this zone does not have at that time (fields written in another zone)
        // would shift the clock by the difference; the wall-clock reading is kept instead.
        seconds = convert(-1).first;
    }
    if (failed)
        return false;
    long secs = seconds;
    long microsec = microsecond;
    if (microsec < 0) {
        secs -= 1;
        microsec += 1000000;
    }
    A_ASSERT(secs > -3732566652728286385);
    A_ASSERT(microsec >=0);
    assignNormalised(secs, microsec * 1000);
    return true;
}

bool aTs::set(int year, int month, int day, int hour, int minute, int second, long ns, int isDst,
              long gmtOffset)
{
    bool ok = setMicro(year, month, day, hour, minute, second, 0, isDst, gmtOffset);
    // Fields read before 1970 carry negative nanoseconds; written back in another zone they
    // can meet positive seconds, so the pair is normalised like every other value.
    assignNormalised(mySec, ns);
    return ok;
}

bool aTs::replace(int year, int month, int day, int hour, int minute, int second, int ns)
{
    int y, mo, d, h, mi, s;
    long n;
    if (!get(y, mo, d, h, mi, s, n))
        return false; // no fields to keep: writing the -1 placeholders would give a wrong instant
    if (year)
        y = year;
    if (month)
        mo = month;
    if (day)
        d = day;
    if (hour)
        h = hour;
    if (minute)
        mi = minute;
    if (second)
        s = second;
    if (ns)
        n = ns;
    return set(y, mo, d, h, mi, s, n, -1, 0);
}

aTs aTs::replaced(int year, int month, int day, int hour, int minute, int second, int ns)
{
    aTs copy(*this);
    copy.replace(year, month, day, hour, minute, second, ns);
    return copy;
}

void aTs::moveTs(double years, double months, double days, double hours, double minutes,
                 double seconds, double ns, int& year, int& month, int& day, int& hour, int& minute,
                 int& second, long& nsField)
{
    int carry = 0;
    double rest = 0;
    Tm::round(double(nsField) + ns, 1e9, carry, rest);
    nsField = aNumber::saturateToLong(rest);
    Tm::round(double(second) + seconds + carry, 60, carry, rest);
    second = aNumber::saturateToInt(rest);
    Tm::round(double(minute) + minutes + carry, 60, carry, rest);
    minute = aNumber::saturateToInt(rest);
    Tm::round(double(hour) + hours + carry, 24, carry, rest);
    hour = aNumber::saturateToInt(rest);
    double d0 = double(day) - 1 + days + carry;
    Tm::round(double(month) + months - 1, 12, carry, rest);
    month = aNumber::saturateToInt(rest) + 1;
    long y = aNumber::saturateToInt(double(year) + years + carry);
    long d = aNumber::saturateToLong(d0);

    // Whole 400-year cycles (146,097 days each) first, so that a huge offset does not walk
    // month by month; the walk below gives the same day either way. Month lengths repeat
    // every 400 years, so the walk asks for them with the year's place in its cycle.
    constexpr long CycleDays = 146097;
    if (d > CycleDays || d < -CycleDays) {
        long cycles = d / CycleDays;
        d -= cycles * CycleDays;
        y += cycles * 400;
    }
    if (d > 0) {
        while (d > aCalendar::DaysInMonth(month, int(y % 400)) - 1) {
            d -= aCalendar::DaysInMonth(month, int(y % 400));
            if (++month > 12) {
                month = 1;
                ++y;
            }
        }
    } else {
        while (d < 0) {
            if (--month < 1) {
                month = 12;
                --y;
            }
            d += aCalendar::DaysInMonth(month, int(y % 400));
        }
    }
    day = int(d) + 1;
    year = y > INT_MAX ? INT_MAX : (y < INT_MIN ? INT_MIN : int(y));
}

namespace {

constexpr long SecsPerDay = 86400;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, by whole 400-year eras
// (146,097 days each) and the place in the era, counted from March so that the leap day is last.
long daysFromCivil(long year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    long const era = (year >= 0 ? year : year - 399) / 400;
    long const yearOfEra = year - era * 400;
    long const dayOfYear = (153L * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    long const dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The offset from UTC in force at an instant; false where the platform has no local time.
bool offsetAt(long seconds, long& offset)
{
    time_t t = seconds;
    std::tm local {};
    if (!localtime_r(&t, &local))
        return false;
    offset = local.tm_gmtoff;
    return true;
}

// The instant at which the local clock reads `wall` (its fields counted as seconds since 1970 as
// if in UTC), for a move from (fromSec, fromNs) landing on `ns` past that second.
// mktime is not asked: inside a gap or a fold its answer depends on what it was asked before.
// The candidates are the wall clock less each offset in force within a day of it; those that
// read back as that wall clock are real. Of two real ones (a fold) the move takes the nearest in
// its direction. Where none is real (a gap) the clock goes on across the gap in the direction of
// the move: the latest candidate forward, the earliest backward.
bool instantOfWallClock(long wall, long fromSec, long fromNs, long ns, bool forward, long& result)
{
    // Most wall clocks lie far from any change: one offset a day before and after, and the
    // instant it gives reads back as the wall clock.
    long before = 0, after = 0, back = 0;
    if (offsetAt(wall - SecsPerDay, before) && offsetAt(wall + SecsPerDay, after) &&
        before == after && offsetAt(wall - before, back) && back == before) {
        result = wall - before;
        return true;
    }
    long offsets[3];
    int count = 0;
    for (long probe : {wall - SecsPerDay, wall, wall + SecsPerDay}) {
        long offset = 0;
        if (offsetAt(probe, offset) &&
            std::find(offsets, offsets + count, offset) == offsets + count)
            offsets[count++] = offset;
    }
    if (count == 0)
        return false;
    long candidates[3];
    int real = 0;
    for (int i = 0; i < count; ++i) {
        long readBack = 0;
        if (offsetAt(wall - offsets[i], readBack) && readBack == offsets[i])
            candidates[real++] = wall - offsets[i];
    }
    if (real == 0) {
        for (int i = 0; i < count; ++i)
            candidates[i] = wall - offsets[i];
        result = forward ? *std::max_element(candidates, candidates + count)
                         : *std::min_element(candidates, candidates + count);
        return true;
    }
    // At most three candidates: an insertion sort, which GCC 12 also reads without a false
    // out-of-bounds warning at -O2.
    for (int i = 1; i < real; ++i)
        for (int j = i; j > 0 && candidates[j - 1] > candidates[j]; --j)
            std::swap(candidates[j - 1], candidates[j]);
    auto const end = candidates + real;
    if (forward) {
        auto after = [&](long c) { return c > fromSec || (c == fromSec && ns > fromNs); };
        auto const first = std::find_if(candidates, end, after);
        result = first != end ? *first : end[-1];
    } else {
        auto before = [&](long c) { return c < fromSec || (c == fromSec && ns < fromNs); };
        auto const rend = std::make_reverse_iterator(candidates);
        auto const last = std::find_if(std::make_reverse_iterator(end), rend, before);
        result = last != rend ? *last : candidates[0];
    }
    return true;
}

} // namespace

aTs aTs::moveTs(aTs const& ts, double years, double months, double days, double hours,
                double minutes, double seconds, double ns)
{
    int y, mo, d, h, mi, s;
    long n;
    if (!ts.get(y, mo, d, h, mi, s, n)) {
        A_TRACE("moveTs: no local time for %li s, left unmoved\n", ts.sec());
        return ts;
    }
    for (double offset : {years, months, days, hours, minutes, seconds, ns})
        if (!std::isfinite(offset)) {
            A_TRACE("moveTs: an offset is not a number, left unmoved\n");
            return ts;
        }
    auto const from = std::make_tuple(y, mo, d, h, mi, s, n);
    moveTs(years, months, days, hours, minutes, seconds, ns, y, mo, d, h, mi, s, n);
    // An offset too large for the carry arithmetic saturates a carry or the year and leaves
    // a field out of its range; that is no move at all.
    bool inRange = y != INT_MAX && y != INT_MIN && s >= 0 && s < 60 && mi >= 0 && mi < 60 &&
                   h >= 0 && h < 24 && n >= 0 && n < NsPerSec;
    auto const to = std::make_tuple(y, mo, d, h, mi, s, n);
    if (inRange && to == from)
        return ts;
    long fromSec = 0, fromNs = 0, movedSec = 0;
    wallSecond(ts.mySec, ts.myNs, fromSec, fromNs); // it succeeded for get above
    long const wall = daysFromCivil(y, mo, d) * SecsPerDay + h * 3600L + mi * 60L + s;
    if (!inRange || !instantOfWallClock(wall, fromSec, fromNs, n, to > from, movedSec)) {
        A_TRACE("moveTs: %i-%i-%i %i:%i:%i is no local time, left unmoved\n", y, mo, d, h, mi, s);
        return ts;
    }
    aTs moved;
    moved.assignNormalised(movedSec, n);
    return moved;
}

// --- Formatting ------------------------------------------------------------------------------

unsigned long aTs::strfTime(char* buffer, unsigned long size, char const* format,
                            bool expandTags) const
{
    if (size > 0)
        buffer[0] = '\0';
    long wholeSec = 0, fraction = 0;
    if (!wallSecond(mySec, myNs, wholeSec, fraction))
        return 0;
    long yearShift = 0;
    struct tm* t = smartLocaltime(wholeSec, yearShift);
    if (!t)
        return 0;
    struct tm local = *t;

    std::string f(format ? format : "");
    if (expandTags) {
        char digits[24];
        std::snprintf(digits, sizeof digits, "%09li", fraction);
        // Digits are cut, not rounded: 0.96 s with one digit is .9, never the next second's .0.
        for (int n = 1; n <= 9; ++n)
            replaceAll(f, TsFormatTag::All[n - 1], "." + std::string(digits, size_t(n)));
        char text[255];
        if (f.find(TsFormatTag::Year) != std::string::npos) {
            std::snprintf(text, sizeof text, "%li", long(local.tm_year) + 1900 + yearShift);
            replaceAll(f, TsFormatTag::Year, text);
        }
        char name[64]; // room for long month names of any locale: only the first character is kept
        if (f.find(TsFormatTag::WeekdayInitial) != std::string::npos) {
            if (strftime(name, sizeof name, "%a", &local) == 0)
                name[0] = '\0';
            replaceAll(f, TsFormatTag::WeekdayInitial, firstCharacter(name));
        }
        replaceAll(f, TsFormatTag::AmPmLetter, local.tm_hour >= 12 ? "p" : "a");
        replaceAll(f, TsFormatTag::AmPm, local.tm_hour >= 12 ? "pm" : "am");
        if (f.find(TsFormatTag::MonthInitial) != std::string::npos) {
            if (strftime(name, sizeof name, "%B", &local) == 0)
                name[0] = '\0';
            replaceAll(f, TsFormatTag::MonthInitial, firstCharacter(name));
        }
        if (f.find(TsFormatTag::DayOrdinal) != std::string::npos) {
            if (strftime(name, sizeof name, "%d", &local) == 0)
                name[0] = '\0';
            replaceAll(f, TsFormatTag::DayOrdinal,
                       aNumber::asOrdinal(int(std::strtol(name, nullptr, 10)), false).c());
        }
    }
    size_t n = size > 0 ? strftime(buffer, size, f.c_str(), &local) : 0;
    if (n == 0 && size > 0)
        buffer[0] = '\0';
    return n;
}

namespace {

// One strftime conversion of ts into the shared name text; a name that cannot be made stops.
char const* nameOf(aTs const& ts, char const* format)
{
    unsigned long s = ts.strfTime(aTs::ourTmp, 63, format, false);
    A_ASSERT(s>0);
    return aTs::ourTmp;
}

} // namespace

char const* aTs::getAbbrevWeekdayName() const
{
    return nameOf(*this, "%a");
}

char const* aTs::getWeekdayName() const
{
    return nameOf(*this, "%A");
}

char const* aTs::getMonthName() const
{
    return nameOf(*this, "%B");
}

char const* aTs::getAbbrevMonthName() const
{
    return nameOf(*this, "%b");
}

char const* aTs::getYearName() const
{
    return nameOf(*this, "%Y");
}

int aTs::getWeekNumberOfYear(bool weeksStartOnMonday) const
{
    return int(std::strtol(nameOf(*this, weeksStartOnMonday ? "%W" : "%U"), nullptr, 10));
}

rtl::str aTs::getStr(bool withMicroseconds) const
{
    long wholeSec = 0, fraction = 0;
    if (!wallSecond(mySec, myNs, wholeSec, fraction))
        return rtl::str("Overflow");
    time_t t = wholeSec;
    struct tm* local = localtime(&t);
    if (!local)
        return rtl::str("Overflow");
    char text[64];
    if (strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0)
        text[0] = '\0';
    rtl::str result;
    if (withMicroseconds)
        result.set("%s.%06li", text, fraction / 1000);
    else
        result = text;
    return result;
}

rtl::str aTs::getSnappedStr(int, int coarsest, int minRes)
{
    int year, month, day, hour, minute, second;
    long ns;
    get(year, month, day, hour, minute, second, ns);
    A_ASSERT(minRes>=1);
    auto inRange = [&](int unit) {
        return !((coarsest != 0 && coarsest < unit) || (minRes > unit));
    };
    std::string text;
    char piece[32];
    auto put = [&](char const* fmt, int v) {
        std::snprintf(piece, sizeof piece, fmt, v);
        text += piece;
    };
    bool wroteMonth = false, wroteDay = false, wroteYear = false, wroteHour = false,
         wroteMinute = false;
    if (inRange(5)) {
        put("%i", month);
        wroteMonth = true;
    }
    if (wroteMonth && (inRange(4) || inRange(6)))
        text += " / ";
    if (inRange(4)) {
        put(wroteMonth && day <= 9 ? "0%i" : "%i", day);
        wroteDay = true;
    }
    if (wroteDay && inRange(6))
        text += " / ";
    if (inRange(6)) {
        put("%i", year);
        wroteYear = true;
    }
    if (wroteMonth || wroteDay || wroteYear)
        text += "  ";
    if (inRange(3)) {
        put(hour > 9 ? "%i" : " %i", hour);
        wroteHour = true;
    }
    if (wroteHour && inRange(2))
        text += " : ";
    if (inRange(2)) {
        put(wroteHour && minute <= 9 ? "0%i" : "%i", minute);
        wroteMinute = true;
    }
    if (wroteMinute && inRange(1))
        text += " : ";
    if (inRange(1))
        put(wroteMinute && second <= 9 ? "0%i" : "%i", second);
    return rtl::str(text.c_str());
}

// --- Elapsed time ----------------------------------------------------------------------------

aTs& aTs::subtract(aTs const& other)
{
    setSecondsSince1970(getSecondsSince1970() - other.getSecondsSince1970(), 0);
    A_ASSERT(mySec > -3732566652728286385);
    return *this;
}

void aTs::getDeltaCounts(long& days, int& hours, int& minutes, int& seconds,
                         int& microseconds) const
{
    long s = sec();
    days = aNumber::saturateToLong(std::trunc(double(s) / 86400.0));
    long inDay = s % 86400;
    hours = int(inDay / 3600);
    minutes = int((inDay % 3600) / 60);
    seconds = int((inDay % 3600) % 60);
    microseconds = usec();
}

rtl::str aTs::getFullDeltaStr() const
{
    long d;
    int h, m, s, us;
    getDeltaCounts(d, h, m, s, us);
    bool negative = makeNonNegative(d, h, m, s, us);
    std::string text = std::string(negative ? "-" : "") + dayPiece(d) + ":" + twoDigits(h) + ":" +
                       twoDigits(m) + ":" + twoDigits(s) + "." + twoDigits(us / 10000);
    return rtl::str(text.c_str());
}

rtl::str aTs::getWholeDeltaStr() const
{
    long d;
    int h, m, s, us;
    getDeltaCounts(d, h, m, s, us);
    return getWholeDeltaStr(d, h, m, s, us);
}

rtl::str aTs::getWholeDeltaStr(long days, int hours, int minutes, int seconds, int) const
{
    int us = 0;
    bool negative = makeNonNegative(days, hours, minutes, seconds, us);
    std::string text = std::string(negative ? "-" : "") + dayPiece(days) + " " + twoDigits(hours) +
                       ":" + twoDigits(minutes) + ":" + twoDigits(seconds);
    return rtl::str(text.c_str());
}

namespace {

// The text of the largest units present: d:hh:mm, h:mm:ss or m:ss; an empty text when only
// seconds are present.
std::string largeUnitsText(long d, int h, int m, int s)
{
    char buf[32];
    if (d >= 1) {
        std::snprintf(buf, sizeof buf, "%li", d);
        return buf + (":" + twoDigits(h)) + ":" + twoDigits(m);
    }
    if (h >= 1 || m >= 1) {
        std::string text;
        if (h >= 1) {
            std::snprintf(buf, sizeof buf, "%i:", h);
            text = buf;
        }
        if (h >= 1)
            text += twoDigits(m);
        else {
            std::snprintf(buf, sizeof buf, "%i", m);
            text += buf;
        }
        return text + ":" + twoDigits(s);
    }
    return std::string();
}

} // namespace

rtl::str aTs::getDeltaStr() const
{
    long d;
    int h, m, s, us;
    getDeltaCounts(d, h, m, s, us);
    bool negative = makeNonNegative(d, h, m, s, us);
    std::string text = largeUnitsText(d, h, m, s);
    if (text.empty())
        text = twoDigits(s) + "." + twoDigits(us / 10000);
    return rtl::str(((negative ? "-" : "") + text).c_str());
}

rtl::str aTs::getExtendedDeltaStr() const
{
    long d;
    int h, m, s, us;
    getDeltaCounts(d, h, m, s, us);
    bool negative = makeNonNegative(d, h, m, s, us);
    std::string text;
    if (d == 0 && h == 0 && m == 0 && s == 0) {
        // Below a second: the rate per second of something that took this long.
        char buf[64];
        float rate = float(1000000.0 / double(us));
        std::snprintf(buf, sizeof buf, "%.2f /sec", double(rate));
        text = buf;
    } else {
        text = largeUnitsText(d, h, m, s);
        if (text.empty()) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%06i", us);
            text = twoDigits(s) + "." + buf;
        }
    }
    return rtl::str(((negative ? "-" : "") + text).c_str());
}

rtl::str aTs::getElapsed(char const* label)
{
    timeval now {};
    gettimeofday(&now, nullptr);
    long nowNs = long(now.tv_usec) * 1000;
    long seconds = 0;
    if (__builtin_sub_overflow(long(now.tv_sec), mySec, &seconds))
        seconds = LONG_MAX; // a stamp that far back: the largest count there is
    if (nowNs < myNs) {
        nowNs += NsPerSec;
        seconds -= 1;
    }
    long ns = nowNs - myNs;
    char buf[96];
    if (seconds > 0)
        std::snprintf(buf, sizeof buf, "%li sec, %li nanosec", seconds, ns);
    else
        std::snprintf(buf, sizeof buf, "%li nanosec", ns);
    return rtl::str((std::string(label ? label : "") + buf).c_str());
}
