#pragma once

#include "ObRecord.h"

// The bounds and name of one header preset: the zoom band [startZoom, stopZoom) in seconds per
// pixel (-1: not set yet).
#define M_RANGE_SETUPS_ATTRS(A)               \
    A(double, stopZoom, StopZoom, -1.0)       \
    A(double, startZoom, StartZoom, -1.0)     \
    A(rtl::str, presetName, PresetName, {})

class mRangeSetupsData : public ObObj
{
    OB_RECORD(mRangeSetupsData, ObObj, M_RANGE_SETUPS_ATTRS)
};
