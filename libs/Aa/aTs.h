#pragma once

#include "aTimeDelta.h"
#include "str.h"

#include <ctime>

// The system's one time value: whole seconds and nanoseconds since 1970-01-01 00:00:00 UTC.
// Seconds and nanoseconds never have opposite signs and |ns| < 1e9 ("simplified"): 1.5 s
// before 1970 is (-1, -500,000,000). The same class serves as an elapsed time (subtract and
// the delta texts). Calendar fields are those of the machine's local zone.
class aTs
{
public:
    // Seconds and microseconds, as filled by getTs.
    struct SecUsec
    {
        long sec;
        int usec;
    };

    aTs();
    aTs(const aTs& other);
    explicit aTs(const aTs* other);
    // NaN gives the zero instant; infinities and values beyond 64-bit seconds saturate.
    explicit aTs(double seconds);

    virtual ~aTs();
    virtual int stamp();
    virtual long sec() const;
    virtual int usec() const;
    virtual long nsec() const;
    virtual const char* getMicro(int& year, int& month, int& day, int& hour, int& minute, int& second,
                                 int& microsecond) const;
    virtual const char* get(int& year, int& month, int& day, int& hour, int& minute, int& second, long& ns,
                            bool& isDst, long& gmtOffset) const;
    virtual const char* get(int& year, int& month, int& day, int& hour, int& minute, int& second,
                            long& ns) const;
    virtual unsigned long strfTime(char* buffer, unsigned long size, const char* format, bool expandTags) const;
    virtual const char* getAbbrevWeekdayName() const;
    virtual const char* getWeekdayName() const;
    virtual const char* getMonthName() const;
    virtual const char* getAbbrevMonthName() const;
    virtual const char* getYearName() const;
    virtual operator double() const;
    virtual aTs operator+(const aTimeDelta& d) const;
    virtual aTs operator-(const aTimeDelta& d) const;
    virtual aTimeDelta operator-(const aTs& other) const;
    virtual const char* getMicro(int& year, int& month, int& day, int& hour, int& minute, int& second,
                                 int& microsecond, int& dayOfYear, int& weekday, bool& isDst,
                                 long& gmtOffset) const;
    virtual bool replace(int year, int month, int day, int hour, int minute, int second, int ns);
    virtual aTs replaced(int year, int month, int day, int hour, int minute, int second, int ns);
    virtual bool setMicro(int year, int month, int day, int hour, int minute, int second, int microsecond,
                          int isDst, long gmtOffset);
    virtual bool set(int year, int month, int day, int hour, int minute, int second, long ns, int isDst,
                     long gmtOffset);
    virtual bool operator>(const aTs& o) const;
    virtual bool operator>=(const aTs& o) const;
    virtual bool operator<(const aTs& o) const;
    virtual bool operator<=(const aTs& o) const;
    virtual bool operator==(const aTs& o) const;
    virtual bool operator!=(const aTs& o) const;
    virtual aTs& operator=(const aTs& other);
    // The other value read as a length of time since 1970, subtracted or added exactly.
    virtual aTs& operator-=(const aTs& other);
    virtual aTs& operator+=(const aTs& other);
    virtual const SecUsec* getTs() const;
    virtual int getYear() const;
    virtual long getLongYear() const;
    virtual int getMonth() const;
    virtual int getDay() const;
    virtual int getHour() const;
    virtual int getMin() const;
    virtual int getSec() const;
    virtual int getMicrosec() const;
    virtual long getNs() const;
    virtual rtl::str getStr(bool withMicroseconds) const;
    virtual rtl::str getSnappedStr(int unused, int coarsest, int minRes);
    virtual aTs& subtract(const aTs& other);
    virtual rtl::str getElapsed(const char* label);
    virtual void getDeltaCounts(long& days, int& hours, int& minutes, int& seconds, int& microseconds) const;
    virtual rtl::str getFullDeltaStr() const;
    virtual rtl::str getWholeDeltaStr() const;
    virtual rtl::str getWholeDeltaStr(long days, int hours, int minutes, int seconds, int microseconds) const;
    virtual rtl::str getDeltaStr() const;
    virtual rtl::str getExtendedDeltaStr() const;

    // The fraction of the double and the extra nanoseconds are folded into the nanoseconds.
    void setSecondsSince1970(double seconds, long extraNs);
    // Stores the nanoseconds unchanged; the caller keeps the sign and range invariant.
    void setNs(long ns) { myNs = ns; }
    double getSecondsSince1970() const;
    double asSeconds() const;
    int getWeekNumberOfYear(bool weeksStartOnMonday) const;

    // The broken-down local time of the seconds (the platform's static result), or null.
    static struct tm* smartLocaltime(long seconds, long& yearShift);
    // The timestamp moved by a calendar offset through its local fields; ts is unchanged.
    // When the fields cannot be read or written the result is ts itself.
    static aTs moveTs(const aTs& ts, double years, double months, double days, double hours, double minutes,
                      double seconds, double ns);
    // The carry arithmetic of the move: the fields go in and come out moved.
    static void moveTs(double years, double months, double days, double hours, double minutes, double seconds,
                       double ns, int& year, int& month, int& day, int& hour, int& minute, int& second,
                       long& nsField);

    // The name getters' shared text; each call overwrites it.
    static char ourTmp[64];

private:
    static void initStatics();
    void assignNormalised(long seconds, long ns);

    long mySec = 0;
    long myNs = 0;
};
