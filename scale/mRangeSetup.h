#pragma once

#include "mRangeSetupData.h"

// The look of one header row in one preset (see mRangeSetupData). Held by rtl::ref handles of
// its preset; not kept in the object store and never saved.
class mRangeSetup : public mRangeSetupData
{
public:
    mRangeSetup() = default;
    ~mRangeSetup() override = default;
};
