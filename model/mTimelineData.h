#pragma once

#include "ObRecord.h"

// The timeline's stored attributes. The row scale and the layer-header width are kept for the
// views; the tick and the two flags drive the timeline's refresh and restacking.
#define M_TIMELINE_ATTRS(A)                                                                        \
    A(int, tick, Tick, 1)                                                                          \
    A(bool, layerHidingEnabled, LayerHidingEnabled, false)                                         \
    A(bool, lockToNowFlag, LockToNowFlag, false)                                                   \
    A(int, layerHeaderW, LayerHeaderW, 120)                                                        \
    A(double, rowScale, RowScale, 30.0)                                                            \
    A(bool, showLayerControls, ShowLayerControls, false)

class mTimelineData : public ObObj
{
    OB_RECORD(mTimelineData, ObObj, M_TIMELINE_ATTRS)
};
