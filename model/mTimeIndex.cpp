#include "mTimeIndex.h"

#include "tlObj.h"

#include <algorithm>
#include <limits>

int mTimeIndex::lengthClass(double length)
{
    if (!(length > 0.0))
        return NoLength;
    if (!std::isfinite(length))
        return std::numeric_limits<double>::max_exponent + 1;
    int exponent = 0;
    std::frexp(length, &exponent); // length < 2^exponent
    return exponent;
}

double mTimeIndex::classReach(int cls)
{
    if (cls == NoLength)
        return 0.0;
    if (cls > std::numeric_limits<double>::max_exponent)
        return std::numeric_limits<double>::infinity();
    return std::ldexp(1.0, cls);
}

double mTimeIndex::instantReach(tlObj const& obj, double t)
{
    double before = t, after = t;
    obj.getImpulseBeforeAfter(t, before, after);
    double const half = std::max(after - t, t - before);
    // Twice the marker, and a microsecond for the rounding of times to nanoseconds.
    return std::isfinite(half) ? 2.0 * half + 1e-6 : 1e-6;
}

void mTimeIndex::insert(mEvent* ev, Extent const& e)
{
    if (std::isnan(e.lo) || std::isnan(e.hi))
        return; // has no place in time (events refuse such times)
    Bucket& bucket = e.instant ? myInstants : mySpans[lengthClass(e.hi - e.lo)];
    if (bucket.insert(Entry {e.lo, e.hi, ev}).second)
        ++mySize;
}

void mTimeIndex::erase(mEvent* ev, Extent const& e)
{
    if (e.instant) {
        mySize -= myInstants.erase(Entry {e.lo, e.hi, ev});
        return;
    }
    auto it = mySpans.find(lengthClass(e.hi - e.lo));
    if (it == mySpans.end())
        return;
    mySize -= it->second.erase(Entry {e.lo, e.hi, ev});
    if (it->second.empty())
        mySpans.erase(it);
}

void mTimeIndex::clear()
{
    mySpans.clear();
    myInstants.clear();
    mySize = 0;
}
