#pragma once

#include "aTs.h"
#include "mSkinData.h"
#include "tlObj.h"

#include <vector>

class Painter;
class XmlReader;
class mRange;
class mRangeSetup;
class mRangeSetups;

// The skin of one component: the colours, the label font and the header geometry of the
// document's timeline views, and the painter of what belongs to no layer or event. Its drawing
// runs inside a context that a view opens for one timeline and one orientation and closes after
// the paint; the context caches what the drawing reads of the time scale, so every part of one
// paint sees the same scale. Contexts do not nest.
//
// The record's integer getSceneYScale and tlObj's row zoom share a name: callers on a skin name
// the one they mean (mSkinData:: or tlObj::).
class mSkin : public mSkinData, public tlObj
{
public:
    mSkin();
    ~mSkin() override;

    void clearObj() override;
    // Taken from the pool: every attribute from its default, the scene scales 1, no context.
    void initObj() override;
    void recycleObj() override;
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;

    // Opens the context for the timeline, time along x when horiz. Opening a second one stops
    // the program: every beginContext needs its endContext.
    virtual void beginContext(mTimeline* timeline, bool horiz);
    virtual void drawBg(Painter& painter) const;
    virtual void endContext();
    virtual void drawHeaderFg(Painter& painter) const;

    // The orientation of the last context (horizontal before the first).
    bool getHorizFlag() const { return myHorizFlag; }
    bool inContext() const { return myTimeline != nullptr; }

    mTimeline* myTimeline = nullptr;
    mScale* myScale = nullptr;
    std::vector<mRange*> myAllRanges;
    std::vector<mRange*> myVisRanges;
    double myZoom = 0.0;
    bool myHorizFlag = true;
    aTs myVisStart;
    aTs myVisEnd;
    mRangeSetups* myRangeSetups = nullptr;
    mRangeSetup* myCurRangeSetup = nullptr;

private:
    void startFresh();
};
