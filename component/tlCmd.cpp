#include "tlCmd.h"

#include "ObApp.h"
#include "ObClassTypeOf.h"
#include "mLayer.h"
#include "mTimeline.h"

#include <set>

tlCmd::tlCmd() = default;

tlCmd::~tlCmd() = default;

bool tlCmd::isActiveTest() const
{
    return docAndTimeline(*this);
}

ObDoc* tlCmd::currentDoc()
{
    return ObApp::ourApp ? ObApp::ourApp->getDoc() : nullptr;
}

bool tlCmd::docAndTimeline(tlObj const& obj)
{
    return currentDoc() && obj.getTimeline();
}

std::vector<mLayer*> tlCmd::layersToActOn(mTimeline& tl)
{
    std::set<Obh> handles;
    tl.getLayersToActOn(handles);
    std::vector<mLayer*> layers;
    // A deleted layer may still be selected: it is skipped.
    for (Obh const& h : handles)
        if (mLayer* layer = layerOf(h))
            layers.push_back(layer);
    return layers;
}
