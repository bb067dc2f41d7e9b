#pragma once

#include "ObRecord.h"

// A layer's stored attributes: its place in the stack and its geometry (model units across the
// time axis, scene units on screen), its padding and row height, its title, colours (0 to 255 per
// channel), the title's font (the weight on the documents' 0 to 99 scale) and free text.
#define M_LAYER_ATTRS(A)                                                                           \
    A(bool, isCurrent, IsCurrent, false)                                                           \
    A(bool, isSelected, IsSelected, false)                                                         \
    A(bool, isActive, IsActive, true)                                                              \
    A(bool, isVisible, IsVisible, false)                                                           \
    A(int, index, Index, -1)                                                                       \
    A(int, stackRowIndex, StackRowIndex, -1)                                                       \
    A(int, stackIndex, StackIndex, -1)                                                             \
    A(int, numRows, NumRows, 1)                                                                    \
    A(double, modelY, ModelY, -1.0)                                                                \
    A(double, modelH, ModelH, -1.0)                                                                \
    A(double, sceneY, SceneY, -1.0)                                                                \
    A(double, sceneH, SceneH, -1.0)                                                                \
    A(double, sceneW, SceneW, -1.0)                                                                \
    A(float, paddingTop, PaddingTop, 0.2f)                                                         \
    A(float, paddingBottom, PaddingBottom, 0.0f)                                                   \
    A(float, verticalScale, VerticalScale, 1.0f)                                                   \
    A(float, alpha, Alpha, 1.0f)                                                                   \
    A(float, timeStep, TimeStep, 1.0f)                                                             \
    A(rtl::str, title, Title, "Layer")                                                             \
    A(double, currentTime, CurrentTime, 0.0)                                                       \
    A(int, bgColorR, BgColorR, 100)                                                                \
    A(int, bgColorG, BgColorG, 100)                                                                \
    A(int, bgColorB, BgColorB, 100)                                                                \
    A(int, bgColorA, BgColorA, 80)                                                                 \
    A(int, lineColorR, LineColorR, 120)                                                            \
    A(int, lineColorG, LineColorG, 120)                                                            \
    A(int, lineColorB, LineColorB, 120)                                                            \
    A(int, lineColorA, LineColorA, 80)                                                             \
    A(int, textColorR, TextColorR, 255)                                                            \
    A(int, textColorG, TextColorG, 255)                                                            \
    A(int, textColorB, TextColorB, 255)                                                            \
    A(int, textColorA, TextColorA, 255)                                                            \
    A(rtl::str, labelFontFamily, LabelFontFamily, "Gil Sans")                                      \
    A(int, labelMaxFontSize, LabelMaxFontSize, 12)                                                 \
    A(int, labelMinFontSize, LabelMinFontSize, 16)                                                 \
    A(int, labelFontSize, LabelFontSize, 14)                                                       \
    A(int, labelFontWeight, LabelFontWeight, 50)                                                   \
    A(rtl::str, notes, Notes, {})                                                                  \
    A(rtl::str, keywords, Keywords, {})

class mLayerData : public ObObj
{
    OB_RECORD(mLayerData, ObObj, M_LAYER_ATTRS)
};
