#pragma once

#include "ObRecord.h"

// The stored attributes of a scale.
//   note: what the scale is ("Timeline TIME scale", "Layer ROW scale", ...);
//   unitType: "time" or "numeric", which zoom policy it uses;
//   parentPos, parentSize: the pixels of the parent axis that show it;
//   hasMinValue, hasMaxValue, minValue, maxValue: the clamps of the window (seconds or numbers).
#define M_SCALE_ATTRS(A)                          \
    A(rtl::str, note, Note, {})                   \
    A(rtl::str, unitType, UnitType, "numeric")    \
    A(int, parentPos, ParentPos, 0)               \
    A(int, parentSize, ParentSize, 1)             \
    A(bool, hasMinValue, HasMinValue, true)       \
    A(bool, hasMaxValue, HasMaxValue, true)       \
    A(double, minValue, MinValue, 0.0)            \
    A(double, maxValue, MaxValue, 1.0)

class mScaleData : public ObObj
{
    OB_RECORD(mScaleData, ObObj, M_SCALE_ATTRS)
};
