#include "mRangeSetups.h"

#include "aTrace.h"
#include "mRange.h"

#include <cstdio>

rtl::str mRangeSetups::keyFor(double secsPerUnit)
{
    char key[64];
    std::snprintf(key, sizeof key, "%g", secsPerUnit);
    return rtl::str(key);
}

void mRangeSetups::addRangeSetup(double secsPerUnit, rtl::ref<mRangeSetup>& rs)
{
    myRangeSetups[keyFor(secsPerUnit)] = rs;
    if (getStartZoom() < 0)
        setStartZoom(secsPerUnit / 60);
    if (getStopZoom() < 0)
        setStopZoom(secsPerUnit / 60);
}

mRangeSetup* mRangeSetups::getRangeSetup(double secsPerUnit) const
{
    auto it = myRangeSetups.find(keyFor(secsPerUnit));
    return it == myRangeSetups.end() ? nullptr : it->second.get();
}

mRangeSetup* mRangeSetups::getRangeSetup(mRange const* range) const
{
    return getRangeSetup(range->getSecondsPerUnit());
}

void mRangeSetups::dump() const
{
    for (auto const& e : myRangeSetups)
        A_TRACE("   RangeSetup for %s\n", e.first.c());
}
