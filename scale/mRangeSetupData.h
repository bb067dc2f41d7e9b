#pragma once

#include "ObRecord.h"

// The look of one header row: stacking and size, background, top and bottom lines, range
// colouring, the colour ramp, labels, the span label and ticks. Colours are red, green, blue and
// alpha, 0 to 255. Label formats are those of the timestamp formatter, with its own tags.
#define M_RANGE_SETUP_ATTRS(A)                                      \
    A(rtl::str, rangeId, RangeId, {})                               \
    A(bool, doNotStack, DoNotStack, true)                           \
    A(float, sizeScale, SizeScale, 100.0f)                          \
    A(int, minSize, MinSize, 10)                                    \
    A(int, maxSize, MaxSize, -1)                                    \
    A(int, bgColorR, BgColorR, 200)                                 \
    A(int, bgColorG, BgColorG, 200)                                 \
    A(int, bgColorB, BgColorB, 200)                                 \
    A(int, bgColorA, BgColorA, 100)                                 \
    A(bool, showBg, ShowBg, false)                                  \
    A(int, topLineColorR, TopLineColorR, 200)                       \
    A(int, topLineColorG, TopLineColorG, 200)                       \
    A(int, topLineColorB, TopLineColorB, 200)                       \
    A(int, topLineColorA, TopLineColorA, 100)                       \
    A(bool, showTopLine, ShowTopLine, false)                        \
    A(int, bottomLineColorR, BottomLineColorR, 200)                 \
    A(int, bottomLineColorG, BottomLineColorG, 200)                 \
    A(int, bottomLineColorB, BottomLineColorB, 200)                 \
    A(int, bottomLineColorA, BottomLineColorA, 100)                 \
    A(bool, showBottomLine, ShowBottomLine, false)                  \
    A(bool, showRangeBgColoring, ShowRangeBgColoring, false)        \
    A(bool, showRamp, ShowRamp, false)                              \
    A(int, rampLowColorR, RampLowColorR, 100)                       \
    A(int, rampLowColorG, RampLowColorG, 100)                       \
    A(int, rampLowColorB, RampLowColorB, 100)                       \
    A(int, rampLowColorA, RampLowColorA, 200)                       \
    A(int, rampMidColorR, RampMidColorR, -1)                        \
    A(int, rampMidColorG, RampMidColorG, -1)                        \
    A(int, rampMidColorB, RampMidColorB, -1)                        \
    A(int, rampMidColorA, RampMidColorA, -1)                        \
    A(int, rampHighColorR, RampHighColorR, 200)                     \
    A(int, rampHighColorG, RampHighColorG, 200)                     \
    A(int, rampHighColorB, RampHighColorB, 200)                     \
    A(int, rampHighColorA, RampHighColorA, 200)                     \
    A(float, rampMinSize, RampMinSize, 3.0f)                        \
    A(float, rampMaxSize, RampMaxSize, -1.0f)                       \
    A(int, rampSizePct, RampSizePct, 100)                           \
    A(bool, showLabels, ShowLabels, true)                           \
    A(rtl::str, labelFormat, LabelFormat, {})                       \
    A(int, labelVisPct, LabelVisPct, 80)                            \
    A(int, labelColorR, LabelColorR, 170)                           \
    A(int, labelColorG, LabelColorG, 190)                           \
    A(int, labelColorB, LabelColorB, 190)                           \
    A(int, labelColorA, LabelColorA, 255)                           \
    A(int, labelAlignH, LabelAlignH, -1)                            \
    A(int, labelAlignV, LabelAlignV, -1)                            \
    A(int, labelPadL, LabelPadL, 2)                                 \
    A(int, labelPadR, LabelPadR, 2)                                 \
    A(int, labelPadB, LabelPadB, 0)                                 \
    A(int, labelPadT, LabelPadT, 0)                                 \
    A(bool, showSpanLabel, ShowSpanLabel, true)                     \
    A(rtl::str, spanLabelFormat, SpanLabelFormat, {})               \
    A(int, spanLabelColorR, SpanLabelColorR, 250)                   \
    A(int, spanLabelColorG, SpanLabelColorG, 250)                   \
    A(int, spanLabelColorB, SpanLabelColorB, 250)                   \
    A(int, spanLabelColorA, SpanLabelColorA, 255)                   \
    A(bool, showTick, ShowTick, true)                               \
    A(int, tickSizePct, TickSizePct, 100)                           \
    A(float, tickMinSize, TickMinSize, 3.0f)                        \
    A(float, tickMaxSize, TickMaxSize, -1.0f)                       \
    A(int, tickColorR, TickColorR, 60)                              \
    A(int, tickColorG, TickColorG, 60)                              \
    A(int, tickColorB, TickColorB, 60)                              \
    A(int, tickColorA, TickColorA, 255)

class mRangeSetupData : public ObObj
{
    OB_RECORD(mRangeSetupData, ObObj, M_RANGE_SETUP_ATTRS)
};
