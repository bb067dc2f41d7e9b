#pragma once

#include "Obh.h"
#include "aRefreshable.h"
#include "mTimelineData.h"
#include "tlObj.h"

#include <list>
#include <vector>

class XmlReader;

// The one timeline of a document: the order of the layer stack, the current layer, and the two
// scales of the timeline, the TIME scale along the time axis and the PERP scale across it (which
// maps the stack's model units to scene pixels). Pooled in the store; refreshed once per pass
// at the timeline's level, where it runs its named steps in a fixed order.
class mTimeline : public tlObj, public mTimelineData, public aRefreshable
{
public:
    mTimeline();
    ~mTimeline() override;

    // Appends the handle of every listed layer, top first.
    virtual void getLayers(std::list<Obh>& out);
    // Taken from the pool: every attribute from its default, new scales, scheduled.
    void initObj() override;
    void refresh(aRefreshContext* ctx) override;
    void clearObj() override;
    void recycleObj() override;
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    virtual mScale* timeScale() const { return myTimeScale; }
    // The current layer, or nothing when there is none; becomes the top layer when none is
    // current and there are layers.
    virtual void setCurrentLayerHdl(Obh& h);
    virtual Obh getCurrentLayerHdl();
    // A different tick raises the tick's dirt.
    void hookTick(int oldTick, int newTick) override;
    virtual void incrementTick(int n);
    // Every set of the row scale or of the layer-control flag asks the views for a pass.
    void hookRowScale(double oldScale, double newScale) override;
    void hookShowLayerControls(bool oldFlag, bool newFlag) override;

    mScale* perpScale() const { return myVScale; }
    int getMaxStackRowIndex() const { return myMaxStackRowIndex; }
    Obh getTimeScaleHdl() const { return myTimeScaleHdl; }
    Obh getPerpScaleHdl() const { return myVScaleHdl; }
    // Advances the time of every active layer (which keeps none yet).
    void incrementTime();
    void printLayers();

    Obh myTimeScaleHdl;
    mScale* myTimeScale = nullptr;
    Obh myVScaleHdl;
    mScale* myVScale = nullptr;
    int myMaxStackRowIndex = -1;
    // Top first: entry i names the layer whose index is i.
    std::vector<Obh> myLayerHdls;
    Obh myCurrentLayerHdl;

private:
    void makeScales();
    void dropScales();
    // What recycling and clearing share: the object goes back to a bare, unscheduled state.
    void release();
};
