#include "mByLayer.h"

#include "tlObj.h"

#include <algorithm>

std::size_t mByLayer::numberOf(Obh const& layer)
{
    std::uint32_t const slot = layer.getAddr();
    if (slot < myBySlot.size()) {
        std::uint32_t const at = myBySlot[slot];
        if (at != None && myLayers[at].first == layer)
            return at;
    }
    // The slot of a live layer lies within its pool: the table stays as small as the pool.
    mLayer* const named = tlObj::layerOf(layer);
    if (named) {
        if (slot >= myBySlot.size())
            myBySlot.resize(static_cast<std::size_t>(slot) + 1, None);
        if (myBySlot[slot] == None) {
            myBySlot[slot] = static_cast<std::uint32_t>(myLayers.size());
            return add(layer, named);
        }
    }
    auto const found = std::find_if(myLayers.begin(), myLayers.end(),
                                    [&layer](auto const& met) { return met.first == layer; });
    if (found != myLayers.end())
        return static_cast<std::size_t>(found - myLayers.begin());
    return add(layer, named);
}

std::size_t mByLayer::add(Obh const& layer, mLayer* named)
{
    myLayers.emplace_back(layer, named);
    return myLayers.size() - 1;
}
