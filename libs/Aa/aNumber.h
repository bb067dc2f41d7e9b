#pragma once

#include "str.h"

// Small number services: ordinal texts and additions that detect overflow.
class aNumber
{
public:
    // a + b into sum; false (sum unchanged) when the result would leave the type's range.
    static bool safeAddLong(long a, long b, long& sum);
    static bool safeAddInt(int a, int b, int& sum);

    // A real as a whole number, truncated toward zero; beyond the type's range it saturates and
    // NaN gives 0, where a plain conversion would be undefined.
    static int saturateToInt(double d);
    static long saturateToLong(double d);

    // English ordinals: 1st, 2nd, 3rd, 4th, 11th, 12th, 13th, 21st, 101st, 111th. With
    // suffixOnly the text is the suffix alone ("st", "nd", "rd", "th").
    static void asOrdinal(int n, rtl::str& out, bool suffixOnly);
    static rtl::str asOrdinal(int n, bool suffixOnly);
};
