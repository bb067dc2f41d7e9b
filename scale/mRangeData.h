#pragma once

#include "ObRecord.h"

// The working state of a calendar range, shared by the zoom policy, the grid and label code and
// the header drawing. Never saved.
//   index: place among the policy's ranges (finest first); offset: index minus the picked
//   range's; stackDepth, row, preSubtract, rowScaleUnits: place in the stacked header;
//   zoomBegin, zoomEnd: the zoom band (seconds per pixel); the label font and the sizes tried;
//   fontSize, labelHAlign, maxLabelW, maxLabelH: what the label fitting chose (-1: none);
//   note: free text.
#define M_RANGE_ATTRS(A)                                  \
    A(int, index, Index, -1)                              \
    A(int, offset, Offset, -1)                            \
    A(int, stackDepth, StackDepth, -1)                    \
    A(int, row, Row, -1)                                  \
    A(bool, preSubtract, PreSubtract, false)              \
    A(float, rowScaleUnits, RowScaleUnits, 0.0f)          \
    A(double, zoomBegin, ZoomBegin, 0.0)                  \
    A(double, zoomEnd, ZoomEnd, 0.0)                      \
    A(rtl::str, fontFamily, FontFamily, "Gil Sans")       \
    A(int, minFontSize, MinFontSize, 10)                  \
    A(int, maxFontSize, MaxFontSize, 14)                  \
    A(int, fontSize, FontSize, -1)                        \
    A(int, labelHAlign, LabelHAlign, -1)                  \
    A(int, labelVAlign, LabelVAlign, -1)                  \
    A(int, maxLabelW, MaxLabelW, -1)                      \
    A(int, maxLabelH, MaxLabelH, -1)                      \
    A(rtl::str, note, Note, {})

class mRangeData : public ObObj
{
    OB_RECORD(mRangeData, ObObj, M_RANGE_ATTRS)
};
