#pragma once

#include "aTs.h"
#include "mGridlineData.h"

// One gridline of a range's grid: a unit boundary that falls in a pixel column of the visible
// window, or the leading gridline of the unit already running at the left edge. Made afresh by
// every grid build and deleted by the range's clearGrid; never saved.
class mGridline : public mGridlineData
{
public:
    mGridline(int index, aTs const& time, double parentPos, int units);

    aTs const& getTs() const { return myTs; }

    virtual int getHour() const;
    virtual int getDay() const;
    // The units attribute (-1 on every gridline a range makes), not the weight.
    virtual int getGridWeight() const;

private:
    aTs myTs;
};
