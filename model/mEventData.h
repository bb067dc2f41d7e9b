#pragma once

#include "ObRecord.h"

// An event's stored attributes: where its colours come from (EventColorStyle), its time (seconds
// since 1970, or a plain number on a numeric scale) and length, its item's scene size, its row
// (the floor names the row, the fraction places it in the row) and height in rows, whether it is
// an instant, its colours (0 to 255 per channel) and its texts.
//
// The start time has no natural default: every creator sets it. A fresh record holds 0.
#define M_EVENT_ATTRS(A)                                                                           \
    A(int, colorStyle, ColorStyle, 1)                                                              \
    A(double, startTime, StartTime, 0.0)                                                           \
    A(double, timeLength, TimeLength, 1.0)                                                         \
    A(double, sceneW, SceneW, 0.0)                                                                 \
    A(double, sceneH, SceneH, 0.0)                                                                 \
    A(double, rowIndex, RowIndex, 0.0)                                                             \
    A(double, rowSize, RowSize, 1.0)                                                               \
    A(bool, isActive, IsActive, true)                                                              \
    A(bool, isImpulse, IsImpulse, false)                                                           \
    A(int, bgColorR, BgColorR, 128)                                                                \
    A(int, bgColorG, BgColorG, 128)                                                                \
    A(int, bgColorB, BgColorB, 128)                                                                \
    A(int, bgColorA, BgColorA, 255)                                                                \
    A(int, lineColorR, LineColorR, 128)                                                            \
    A(int, lineColorG, LineColorG, 128)                                                            \
    A(int, lineColorB, LineColorB, 128)                                                            \
    A(int, lineColorA, LineColorA, 255)                                                            \
    A(int, textColorR, TextColorR, 128)                                                            \
    A(int, textColorG, TextColorG, 128)                                                            \
    A(int, textColorB, TextColorB, 128)                                                            \
    A(int, textColorA, TextColorA, 255)                                                            \
    A(rtl::str, title, Title, {})                                                                  \
    A(rtl::str, notes, Notes, {})                                                                  \
    A(rtl::str, amount, Amount, {})                                                                \
    A(rtl::str, units, Units, {})                                                                  \
    A(rtl::str, keywords, Keywords, {})

// Where an event's drawn colours come from; any other value draws as Individual.
enum EventColorStyle : int
{
    EventColorIndividual = 0,
    EventColorByLayer = 1
};

class mEventData : public ObObj
{
    OB_RECORD(mEventData, ObObj, M_EVENT_ATTRS)
};
