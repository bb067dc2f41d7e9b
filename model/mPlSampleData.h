#pragma once

#include "ObRecord.h"

// The sample payload's two stored attributes.
#define M_PL_SAMPLE_ATTRS(A)                                                                       \
    A(float, myAttr1, MyAttr1, 1.0f)                                                               \
    A(bool, myAttr2, MyAttr2, true)

class mPlSampleData : public ObObj
{
    OB_RECORD(mPlSampleData, ObObj, M_PL_SAMPLE_ATTRS)
};
