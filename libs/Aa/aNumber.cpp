#include "aNumber.h"

#include "str.h"

#include <climits>
#include <cmath>

bool aNumber::safeAddLong(long a, long b, long& sum)
{
    if ((a >= 0 && b > LONG_MAX - a) || (a < 0 && b < LONG_MIN - a))
        return false;
    sum = a + b;
    return true;
}

bool aNumber::safeAddInt(int a, int b, int& sum)
{
    if ((a >= 0 && b > INT_MAX - a) || (a < 0 && b < INT_MIN - a))
        return false;
    sum = a + b;
    return true;
}

void aNumber::asOrdinal(int n, rtl::str& out, bool suffixOnly)
{
    // Digits by exact integer arithmetic; the tens digit is that of floor(n / 10).
    int lastDigit = n % 10;
    long tens = long(n) / 10;
    if (long(n) % 10 < 0)
        tens -= 1;
    long tensDigit = tens % 10;
    const char* format = suffixOnly ? "th" : "%ith";
    if (tensDigit != 1) {
        if (lastDigit == 3)
            format = suffixOnly ? "rd" : "%ird";
        else if (lastDigit == 2)
            format = suffixOnly ? "nd" : "%ind";
        else if (lastDigit == 1)
            format = suffixOnly ? "st" : "%ist";
    }
    if (suffixOnly)
        out = format;
    else
        out.set(format, n);
}

rtl::str aNumber::asOrdinal(int n, bool suffixOnly)
{
    rtl::str out;
    asOrdinal(n, out, suffixOnly);
    return out;
}

int aNumber::saturateToInt(double d)
{
    if (std::isnan(d))
        return 0;
    if (d <= double(INT_MIN))
        return INT_MIN;
    if (d >= double(INT_MAX))
        return INT_MAX;
    return int(d);
}

long aNumber::saturateToLong(double d)
{
    if (std::isnan(d))
        return 0;
    if (d < -9223372036854775808.0)
        return LONG_MIN;
    if (d >= 9223372036854775808.0)
        return LONG_MAX;
    return long(d);
}
