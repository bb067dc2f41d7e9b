#pragma once

#include "ObDirty.h"
#include "ObEngine.h"
#include "ObQtRefresher.h"
#include "ObSelection.h"
#include "aStateEngine.h"
#include "mTimeline.h"
#include "tlCmp.h"

// A document's engines, made in the order a document makes them, and its component: what the
// painting benchmarks and the look checks draw from.
struct BenchDoc
{
    ObEngine store;
    aStateEngine state;
    ObQtRefresher refresher;
    ObDirty dirt {&store, &refresher};
    ObSelection selection {&dirt, ObDirty::INVALID_DIRT};
    tlCmp cmp {&store, &dirt, &state, &selection, &refresher};
    mTimeline& timeline = *cmp.getCmpTimeline();
};
