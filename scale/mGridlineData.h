#pragma once

#include "ObRecord.h"

// The attributes of one gridline of a range's grid.
//   parentPos: pixel column in the scale's coordinates (fractional, or left of the window for
//              the leading gridline); index: position in the grid list (-1 leading);
//   units: -1 for every gridline a range makes; weight: 0 plain, 1 minor, 2 major;
//   label: the text shown; labelDone / tickDone: another range already claimed the column.
#define M_GRIDLINE_ATTRS(A)                 \
    A(double, parentPos, ParentPos, 0.0)    \
    A(int, index, Index, 0)                 \
    A(int, units, Units, 0)                 \
    A(int, weight, Weight, 0)               \
    A(rtl::str, label, Label, {})           \
    A(bool, labelDone, LabelDone, false)    \
    A(bool, tickDone, TickDone, false)

class mGridlineData : public ObObj
{
    OB_RECORD(mGridlineData, ObObj, M_GRIDLINE_ATTRS)
};
