#pragma once

#include <algorithm>

// The smallest interval that holds every interval added: the first one sets it, later ones
// widen it. Nothing added: empty, and lo and hi stay as they were given.
struct mExtent
{
    double lo = 0.0;
    double hi = 0.0;
    bool empty = true;

    void add(double a, double b)
    {
        lo = empty ? a : std::min(lo, a);
        hi = empty ? b : std::max(hi, b);
        empty = false;
    }
};
