#pragma once

#include "aTimeDelta.h"
#include "str.h"

#include <ctime>

// The system's one time value: whole seconds and nanoseconds since 1970-01-01 00:00:00 UTC.
// Seconds and nanoseconds never have opposite signs and |ns| < 1e9 ("simplified"): 1.5 s
// before 1970 is (-1, -500,000,000). The same class serves as an elapsed time (subtract and
// the delta texts). Calendar fields are those of the machine's local zone, read as a wall clock
// shows them: the second that has begun and the fraction past it, so 0.25 s before 1970 reads
// 23:59:59 and 750,000,000 ns in UTC, as every text of it does.
class aTs
{
public:
    // Seconds and microseconds, as filled by getTs.
    struct SecUsec
    {
        long sec;
        int usec;
    };

    // The local wall clock of a timestamp; -1 fields when there is none.
    struct LocalFields
    {
        int year = -1;
        int month = -1;
        int day = -1;
        int hour = -1;
        int minute = -1;
        int second = -1;
        long ns = 0;
    };

    // Making one: zero, a copy, now (stamp), or seconds as a double.
    aTs();
    aTs(aTs const& other);
    explicit aTs(aTs const* other);
    // NaN gives the zero instant; infinities and values beyond 64-bit seconds saturate.
    explicit aTs(double seconds);
    // Seconds and nanoseconds of any signs and sizes, normalised as every value is.
    aTs(long seconds, long ns);
    virtual ~aTs();
    virtual aTs& operator=(aTs const& other);
    virtual int stamp();
    // The fraction of the double and the extra nanoseconds are folded into the nanoseconds.
    void setSecondsSince1970(double seconds, long extraNs);
    // Stores the nanoseconds unchanged; the caller keeps the sign and range invariant.
    void setNs(long ns) { myNs = ns; }

    // The stored value: seconds and nanoseconds of one sign, as given, never calendar fields.
    // In the header, so that the mapping of every drawn item inlines them.
    virtual long sec() const { return mySec; }
    virtual int usec() const;
    virtual long nsec() const { return myNs; }
    virtual int getMicrosec() const;
    virtual long getNs() const;
    virtual SecUsec const* getTs() const;
    virtual operator double() const;
    double getSecondsSince1970() const;
    double asSeconds() const;

    // Exact arithmetic and order, to the nanosecond; results beyond 64-bit seconds saturate.
    virtual aTs operator+(aTimeDelta const& d) const;
    virtual aTs operator-(aTimeDelta const& d) const;
    virtual aTimeDelta operator-(aTs const& other) const;
    // The other value read as a length of time since 1970, subtracted or added exactly.
    virtual aTs& operator-=(aTs const& other);
    virtual aTs& operator+=(aTs const& other);
    virtual bool operator>(aTs const& o) const;
    virtual bool operator>=(aTs const& o) const;
    virtual bool operator<(aTs const& o) const;
    virtual bool operator<=(aTs const& o) const;
    virtual bool operator==(aTs const& o) const;
    virtual bool operator!=(aTs const& o) const;

    // Local calendar fields as the wall clock shows them; null (and -1 fields) without one.
    virtual char const* getMicro(int& year, int& month, int& day, int& hour, int& minute,
                                 int& second, int& microsecond) const;
    virtual char const* getMicro(int& year, int& month, int& day, int& hour, int& minute,
                                 int& second, int& microsecond, int& dayOfYear, int& weekday,
                                 bool& isDst, long& gmtOffset) const;
    virtual char const* get(int& year, int& month, int& day, int& hour, int& minute, int& second,
                            long& ns, bool& isDst, long& gmtOffset) const;
    virtual char const* get(int& year, int& month, int& day, int& hour, int& minute, int& second,
                            long& ns) const;
    LocalFields localFields() const;
    // Whether the local calendar gives the instant fields: false beyond its years (about 2^31
    // of them either side of 1900), where get fails. Says nothing when false.
    bool hasLocalFields() const;
    virtual int getYear() const;
    virtual long getLongYear() const;
    virtual int getMonth() const;
    virtual int getDay() const;
    virtual int getHour() const;
    virtual int getMin() const;
    virtual int getSec() const;
    int getWeekNumberOfYear(bool weeksStartOnMonday) const;
    // The broken-down local time of the seconds (the platform's static result), or null.
    static struct tm* smartLocaltime(long seconds, long& yearShift);

    // Writing local fields: the instant whose wall clock they are (false, seconds unchanged,
    // when there is none).
    virtual bool setMicro(int year, int month, int day, int hour, int minute, int second,
                          int microsecond, int isDst, long gmtOffset);
    virtual bool set(int year, int month, int day, int hour, int minute, int second, long ns,
                     int isDst, long gmtOffset);
    virtual bool replace(int year, int month, int day, int hour, int minute, int second, int ns);
    virtual aTs replaced(int year, int month, int day, int hour, int minute, int second, int ns);

    // Calendar moves: the timestamp moved by an offset of the local wall clock.
    // The move goes in the direction of the offset, the same way in every zone. A wall-clock time
    // that occurs twice is the nearest such instant in that direction; one that a daylight-saving
    // gap skips goes on across the gap (New York 02:30 is 03:30 forward, 01:30 backward). The
    // argument is unchanged, and when the fields cannot be read or written the result is ts.
    static aTs moveTs(aTs const& ts, double years, double months, double days, double hours,
                      double minutes, double seconds, double ns);
    // The carry arithmetic of the move: the fields go in and come out moved.
    static void moveTs(double years, double months, double days, double hours, double minutes,
                       double seconds, double ns, int& year, int& month, int& day, int& hour,
                       int& minute, int& second, long& nsField);

    // Texts of the instant: strftime with the program's own tags, fixed and snapped forms.
    virtual unsigned long strfTime(char* buffer, unsigned long size, char const* format,
                                   bool expandTags) const;
    virtual char const* getAbbrevWeekdayName() const;
    virtual char const* getWeekdayName() const;
    virtual char const* getMonthName() const;
    virtual char const* getAbbrevMonthName() const;
    virtual char const* getYearName() const;
    virtual rtl::str getStr(bool withMicroseconds) const;
    virtual rtl::str getSnappedStr(int unused, int coarsest, int minRes);
    // The name getters' shared text; each call overwrites it.
    static char ourTmp[64];

    // The value read as an elapsed time: differences, counts and their texts.
    virtual aTs& subtract(aTs const& other);
    virtual rtl::str getElapsed(char const* label);
    virtual void getDeltaCounts(long& days, int& hours, int& minutes, int& seconds,
                                int& microseconds) const;
    virtual rtl::str getFullDeltaStr() const;
    virtual rtl::str getWholeDeltaStr() const;
    virtual rtl::str getWholeDeltaStr(long days, int hours, int minutes, int seconds,
                                      int microseconds) const;
    virtual rtl::str getDeltaStr() const;
    virtual rtl::str getExtendedDeltaStr() const;

private:
    static void initStatics();
    // The local broken-down time of the second the wall clock shows, the fraction past it and
    // the full year; null, quietly, beyond the calendar.
    struct tm* wallClock(long& fraction, int& fullYear) const;
    void assignNormalised(long seconds, long ns);

    long mySec = 0;
    long myNs = 0;
};
