#include "mGridline.h"

#include "mLocalFields.h"

mGridline::mGridline(int index, aTs const& time, double parentPos, int units)
    : myTs(time)
{
    setParentPos(parentPos);
    setIndex(index);
    setUnits(units);
}

int mGridline::getHour() const
{
    return mLocalFields::of(myTs).hour;
}

int mGridline::getDay() const
{
    return mLocalFields::of(myTs).day;
}

int mGridline::getGridWeight() const
{
    return getUnits();
}
