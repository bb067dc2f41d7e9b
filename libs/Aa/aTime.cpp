#include "aTime.h"

#include "aNumber.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

bool isValidPositive(int d, int h, int m, double s)
{
    return d >= 0 && h >= 0 && h <= 23 && m >= 0 && m <= 59 && s >= 0 && s < 60;
}

bool isValidNegative(int d, int h, int m, double s)
{
    return d <= 0 && h >= -23 && h <= 0 && m >= -59 && m <= 0 && s > -60 && s <= 0;
}

// Moves whole bases of the lower unit up into the higher one, or borrows them down, until
// the lower unit lies in [0, base).
void carry(double base, double& higher, double& lower)
{
    if (lower >= base) {
        double n = std::floor(lower / base);
        higher += n;
        lower -= n * base;
    } else if (lower < 0) {
        aTime::Borrow(base, -lower, higher, lower);
    }
}

} // namespace

aTime::aTime()
{
    myText[0] = '\0';
}

aTime::aTime(int days, int hours, int minutes, double seconds)
{
    myText[0] = '\0';
    Set(days, hours, minutes, seconds);
}

aTime::aTime(double days, double hours, double minutes, double seconds)
{
    myText[0] = '\0';
    Set(days, hours, minutes, seconds);
}

aTime::aTime(aTime const& other)
    : mySign(other.mySign), myDays(other.myDays), myHours(other.myHours),
      myMinutes(other.myMinutes), mySeconds(other.mySeconds)
{
    myText[0] = '\0';
}

aTime::~aTime() = default;

void aTime::Borrow(double base, double amount, double& higher, double& lower)
{
    double n = std::ceil(amount / base);
    lower += n * base;
    higher -= n;
}

void aTime::Simplify(double days, double hours, double minutes, double seconds, int* D, int* H,
                     int* M, double* S, int* sign)
{
    // A negative time is normalised as the negation of its size, so that its parts are the
    // positive parts negated: -60 s is -1 minute, -2 days is -2 days.
    double total = ((days * 24 + hours) * 60 + minutes) * 60 + seconds;
    int s = total < 0 ? -1 : 1;
    if (s < 0) {
        days = -days;
        hours = -hours;
        minutes = -minutes;
        seconds = -seconds;
    }
    double d = std::trunc(days);
    double h = std::trunc(hours);
    double m = std::trunc(minutes);
    seconds += (days - d) * 86400 + (hours - h) * 3600 + (minutes - m) * 60;
    carry(60, m, seconds);
    carry(60, h, m);
    carry(24, d, h);
    if (D)
        *D = s * aNumber::saturateToInt(d);
    if (H)
        *H = s * aNumber::saturateToInt(h);
    if (M)
        *M = s * aNumber::saturateToInt(m);
    if (S)
        *S = s * seconds;
    if (sign)
        *sign = s;
}

void aTime::Set(double days, double hours, double minutes, double seconds)
{
    Simplify(days, hours, minutes, seconds, &myDays, &myHours, &myMinutes, &mySeconds, &mySign);
}

void aTime::Set(int days, int hours, int minutes, double seconds)
{
    if (isValidPositive(days, hours, minutes, seconds)) {
        mySign = 1;
    } else if (isValidNegative(days, hours, minutes, seconds)) {
        mySign = -1;
    } else {
        Set(double(days), double(hours), double(minutes), seconds);
        return;
    }
    myDays = days;
    myHours = hours;
    myMinutes = minutes;
    mySeconds = seconds;
}

void aTime::GetUnsigned(int* days, int* hours, int* minutes, double* seconds, int* sign) const
{
    if (days)
        *days = myDays == INT_MIN ? INT_MAX : std::abs(myDays);
    if (hours)
        *hours = std::abs(myHours);
    if (minutes)
        *minutes = std::abs(myMinutes);
    if (seconds)
        *seconds = std::fabs(mySeconds);
    if (sign)
        *sign = mySign;
}

void aTime::Get(int* days, int* hours, int* minutes, double* seconds, int* sign) const
{
    if (days)
        *days = myDays;
    if (hours)
        *hours = myHours;
    if (minutes)
        *minutes = myMinutes;
    if (seconds)
        *seconds = mySeconds;
    if (sign)
        *sign = mySign;
}

aTime::operator char const*() const
{
    return GetString();
}

char const* aTime::GetString() const
{
    int d, h, m, sign;
    double s;
    GetUnsigned(&d, &h, &m, &s, &sign);
    char const* units[4] = {" day", " hour", " minute", " second"};
    bool nonZero[4] = {d != 0, h != 0, m != 0, s != 0};
    char numbers[4][32];
    std::snprintf(numbers[0], sizeof numbers[0], "%i", d);
    std::snprintf(numbers[1], sizeof numbers[1], "%i", h);
    std::snprintf(numbers[2], sizeof numbers[2], "%i", m);
    std::snprintf(numbers[3], sizeof numbers[3], "%g", s);
    bool plural[4] = {d != 1, h != 1, m != 1, std::trunc(s) != 1};
    char text[256] = "";
    if (sign < 0)
        std::strcat(text, "- ");
    for (int i = 0; i < 4; ++i) {
        if (!nonZero[i])
            continue;
        std::strcat(text, numbers[i]);
        std::strcat(text, units[i]);
        if (plural[i])
            std::strcat(text, "s");
        for (int j = i + 1; j < 4; ++j)
            if (nonZero[j]) {
                std::strcat(text, ", ");
                break;
            }
    }
    if (!nonZero[0] && !nonZero[1] && !nonZero[2] && !nonZero[3])
        std::strcpy(text, "0 seconds");
    // Cut to the buffer's 63 characters.
    std::memcpy(myText, text, sizeof myText - 1);
    myText[sizeof myText - 1] = '\0';
    return myText;
}

int aTime::GetDays() const
{
    return myDays;
}

int aTime::GetHours() const
{
    return myHours;
}

int aTime::GetMinutes() const
{
    return myMinutes;
}

double aTime::GetSeconds() const
{
    return mySeconds;
}

int aTime::GetSign() const
{
    return mySign;
}

double aTime::AsSeconds() const
{
    // In 64 bits: a calendar's day count times 86,400 does not fit an int.
    return mySeconds + double(long(myMinutes) * 60 + long(myHours) * 3600 + long(myDays) * 86400);
}

aTime& aTime::operator=(aTime const& other)
{
    mySign = other.mySign;
    myDays = other.myDays;
    myHours = other.myHours;
    myMinutes = other.myMinutes;
    mySeconds = other.mySeconds;
    return *this;
}

aTime& aTime::operator+=(aTime const& other)
{
    Set(myDays + other.myDays, myHours + other.myHours, myMinutes + other.myMinutes,
        mySeconds + other.mySeconds);
    return *this;
}

aTime& aTime::operator-=(aTime const& other)
{
    Set(myDays - other.myDays, myHours - other.myHours, myMinutes - other.myMinutes,
        mySeconds - other.mySeconds);
    return *this;
}

aTime& aTime::operator/=(double divisor)
{
    Set(myDays / divisor, myHours / divisor, myMinutes / divisor, mySeconds / divisor);
    return *this;
}

aTime& aTime::operator/=(int divisor)
{
    // Through doubles: the remainders of the whole parts move down instead of being lost
    // (a day halved is twelve hours, not nothing).
    return *this /= double(divisor);
}

aTime& aTime::operator*=(double factor)
{
    Set(myDays * factor, myHours * factor, myMinutes * factor, mySeconds * factor);
    return *this;
}

aTime& aTime::operator*=(int factor)
{
    // In doubles, so that a large product cannot overflow an int part.
    Set(double(myDays) * factor, double(myHours) * factor, double(myMinutes) * factor,
        mySeconds * factor);
    return *this;
}

aTime aTime::operator+(aTime const& other) const
{
    aTime r(*this);
    r += other;
    return r;
}

aTime aTime::operator-(aTime const& other) const
{
    aTime r(*this);
    r -= other;
    return r;
}

aTime aTime::operator*(int factor) const
{
    aTime r(*this);
    r *= factor;
    return r;
}

aTime aTime::operator*(float factor) const
{
    return *this * double(factor);
}

aTime aTime::operator*(double factor) const
{
    aTime r(*this);
    r *= factor;
    return r;
}

aTime aTime::operator/(int divisor) const
{
    aTime r(*this);
    r /= divisor;
    return r;
}

aTime aTime::operator/(float divisor) const
{
    return *this / double(divisor);
}

aTime aTime::operator/(double divisor) const
{
    aTime r(*this);
    r /= divisor;
    return r;
}

bool aTime::operator==(aTime const& other) const
{
    return myDays == other.myDays && myHours == other.myHours && myMinutes == other.myMinutes &&
           mySeconds == other.mySeconds;
}

bool aTime::operator<(aTime const& other) const
{
    if (myDays != other.myDays)
        return myDays < other.myDays;
    if (myHours != other.myHours)
        return myHours < other.myHours;
    if (myMinutes != other.myMinutes)
        return myMinutes < other.myMinutes;
    return mySeconds < other.mySeconds;
}

bool aTime::operator>(aTime const& other) const
{
    return other < *this;
}

bool aTime::operator<=(aTime const& other) const
{
    return *this < other || *this == other;
}

bool aTime::operator>=(aTime const& other) const
{
    return *this > other || *this == other;
}

long aTime::GetLocalSecondsSince1970()
{
    return long(time(nullptr));
}

void aTime::LocalSecondsSince1970ToLocalTime(long seconds, int* year, int* month, int* dayOfYear,
                                             int* day, int* weekday, int* hour, int* minute,
                                             int* second)
{
    time_t t = seconds;
    std::tm local {};
    if (!localtime_r(&t, &local))
        return;
    if (year)
        *year = local.tm_year + 1900;
    if (month)
        *month = local.tm_mon + 1;
    if (dayOfYear)
        *dayOfYear = local.tm_yday + 1;
    if (day)
        *day = local.tm_mday;
    if (weekday)
        *weekday = local.tm_wday + 1;
    if (hour)
        *hour = local.tm_hour;
    if (minute)
        *minute = local.tm_min;
    if (second)
        *second = local.tm_sec;
}

void aTime::GetLocalTime(int* year, int* month, int* dayOfYear, int* day, int* weekday, int* hour,
                         int* minute, int* second)
{
    LocalSecondsSince1970ToLocalTime(GetLocalSecondsSince1970(), year, month, dayOfYear, day,
                                     weekday, hour, minute, second);
}
