#include "Tm.h"

#include <climits>
#include <cmath>

void Tm::round(double value, double base, int& carry, double& remainder)
{
    double whole = std::floor(value / base);
    if (!(whole >= double(INT_MIN) + 1) || !(whole <= double(INT_MAX) - 1)) {
        // No int carry can hold this quotient (or it is not a number): saturate rather than
        // convert out of range.
        carry = std::isnan(whole) ? 0 : (whole < 0 ? INT_MIN + 1 : INT_MAX - 1);
        remainder = value - double(carry) * base;
        return;
    }
    carry = int(whole);
    // The remainder straight from the value, not from the rounded quotient: whole numbers
    // stay exact (-200,000 by 60 leaves 40, not 39.99999999999).
    remainder = value - double(carry) * base;
    if (remainder >= base) {
        remainder -= base;
        carry += 1;
    } else if (remainder < 0) {
        remainder += base;
        carry -= 1;
    }
}
