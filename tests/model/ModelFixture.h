#pragma once

#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "TimelineTestDoc.h"
#include "mEdb.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mTimeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <vector>

// A document whose timeline is laid out like a view 1,000 pixels wide showing [0, 1000] seconds
// (a second per pixel) and 600 pixels high showing the rows [0, 20] of the stack (30 pixels a
// row), with helpers to make layers and events.
struct ModelFixture : testing::Test
{
    TimelineTestDoc doc;
    mTimeline& tl = *doc.cmp.getCmpTimeline();
    mScale& ts = *tl.timeScale();
    mScale& perp = *tl.perpScale();

    ModelFixture() { layOut(0.0, 1000.0); }

    // The time window [from, to] over 1,000 pixels, and the rows [0, 20] over 600.
    void layOut(double from, double to)
    {
        ts.setParentPos(0);
        ts.setParentSize(1000);
        ts.zoomToLocalRange(from, to, 1.0f);
        perp.setParentPos(0);
        perp.setParentSize(600);
        perp.zoomToLocalRange(0.0, 20.0, 1.0f);
    }

    static mEvent* ev(Obh h) { return tlObj::ourType_mEvent->ptr(h); }
    static mLayer* layer(Obh h) { return tlObj::ourType_mLayer->ptr(h); }

    // An event not yet in any layer: a span from start, or an instant at start (length 0).
    Obh event(double start, double length, bool instant = false, double rowSize = 1.0)
    {
        Obh h = tlObj::ourType_mEvent->make();
        mEvent* e = ev(h);
        e->setStartTime(start);
        e->setTimeLength(instant ? 0.0 : length);
        e->setIsImpulse(instant);
        e->setRowSize(rowSize);
        return h;
    }
    // A span placed by first fit in the layer (or the current one).
    Obh placed(double start, double length, Obh in = Obh())
    {
        Obh h = event(start, length);
        if (in.isValid())
            ev(h)->setLayerHdl(in);
        tl.addEvent(h, start);
        return h;
    }
    Obh at(double start, double length, double row, Obh in, bool instant = false)
    {
        Obh h = event(start, length, instant);
        tl.addEvent(h, start, row, in, true);
        return h;
    }
    bool raised(uint32_t id) const { return doc.dirt.isDirty(id); }
    std::vector<int> indexes() const
    {
        std::vector<int> out;
        for (Obh const& h : tl.getLayerHdls())
            out.push_back(layer(h)->getIndex());
        return out;
    }
};
