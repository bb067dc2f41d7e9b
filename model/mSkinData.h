#pragma once

#include "ObRecord.h"

// The skin's stored attributes: the header label font, the scene scales, the colours (0 to 255
// per channel) of the panels, the timeline and its header, and the header geometry in pixels.
#define M_SKIN_ATTRS(A)                                                                            \
    A(int, labelFontSize, LabelFontSize, 12)                                                       \
    A(rtl::str, labelFontFamily, LabelFontFamily, "Gil Sans")                                      \
    A(int, sceneXScale, SceneXScale, 100)                                                          \
    A(int, sceneYScale, SceneYScale, 40)                                                           \
    A(int, panelBgR, PanelBgR, 40)                                                                 \
    A(int, panelBgG, PanelBgG, 40)                                                                 \
    A(int, panelBgB, PanelBgB, 40)                                                                 \
    A(int, ctrlsLabelColorR, CtrlsLabelColorR, 170)                                                \
    A(int, ctrlsLabelColorG, CtrlsLabelColorG, 190)                                                \
    A(int, ctrlsLabelColorB, CtrlsLabelColorB, 190)                                                \
    A(int, ctrlsLabelColorA, CtrlsLabelColorA, 255)                                                \
    A(int, timelineBgR, TimelineBgR, 20)                                                           \
    A(int, timelineBgG, TimelineBgG, 20)                                                           \
    A(int, timelineBgB, TimelineBgB, 20)                                                           \
    A(int, timelineFgR, TimelineFgR, 60)                                                           \
    A(int, timelineFgG, TimelineFgG, 60)                                                           \
    A(int, timelineFgB, TimelineFgB, 70)                                                           \
    A(int, lineColorR, LineColorR, 140)                                                            \
    A(int, lineColorG, LineColorG, 160)                                                            \
    A(int, lineColorB, LineColorB, 180)                                                            \
    A(int, timelineTopHeaderLabelR, TimelineTopHeaderLabelR, 255)                                  \
    A(int, timelineTopHeaderLabelG, TimelineTopHeaderLabelG, 255)                                  \
    A(int, timelineTopHeaderLabelB, TimelineTopHeaderLabelB, 255)                                  \
    A(int, timelineSelectionH, TimelineSelectionH, 20)                                             \
    A(int, timelineTopHeaderH, TimelineTopHeaderH, 80)                                             \
    A(int, timelineLeftHeaderW, TimelineLeftHeaderW, 100)                                          \
    A(int, timelineTopRowPadH, TimelineTopRowPadH, 1)

class mSkinData : public ObObj
{
    OB_RECORD(mSkinData, ObObj, M_SKIN_ATTRS)
};
