#pragma once

// Floor division with carry, shared by the calendar moves and the time scale's gridline tests.
class Tm
{
public:
    // carry = floor(value / base), remainder = value - carry * base, in [0, base).
    // A quotient beyond the range of an int saturates the carry.
    static void round(double value, double base, int& carry, double& remainder);
};
