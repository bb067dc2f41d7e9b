#pragma once

#include "mRangeSetup.h"
#include "mRangeSetupsData.h"
#include "ref.h"

#include <map>

class mRange;

// One header preset: the row looks that apply within one zoom band, keyed by the "%g" text of a
// range's seconds per unit. Two ranges whose seconds per unit print alike under "%g" share a look.
class mRangeSetups : public mRangeSetupsData
{
public:
    mRangeSetups() = default;
    ~mRangeSetups() override = default;

    // Stores the look (replacing one with the same key). A preset without bounds yet takes
    // secsPerUnit / 60 as both.
    void addRangeSetup(double secsPerUnit, rtl::ref<mRangeSetup>& rs);
    // The look for the range, or null: the range has no header row in this preset.
    mRangeSetup* getRangeSetup(mRange const* range) const;
    mRangeSetup* getRangeSetup(double secsPerUnit) const;
    using ObObj::dump;
    // One trace line per row look.
    void dump() const;

    std::map<rtl::str, rtl::ref<mRangeSetup>> const& rangeSetups() const { return myRangeSetups; }

private:
    static rtl::str keyFor(double secsPerUnit);

    std::map<rtl::str, rtl::ref<mRangeSetup>> myRangeSetups;
};
