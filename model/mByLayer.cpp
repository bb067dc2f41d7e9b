#include "mByLayer.h"

#include "tlObj.h"

#include <algorithm>

std::size_t mByLayer::numberOf(Obh const& layer)
{
    // The slot of a live layer lies within its pool: the table stays as small as the pool.
    if (tlObj::layerOf(layer)) {
        std::uint32_t const slot = layer.getAddr();
        if (slot >= myBySlot.size())
            myBySlot.resize(static_cast<std::size_t>(slot) + 1, None);
        std::uint32_t const at = myBySlot[slot];
        if (at == None) {
            myBySlot[slot] = static_cast<std::uint32_t>(myLayers.size());
            return add(layer);
        }
        if (myLayers[at] == layer)
            return at;
    }
    auto const found = std::find(myLayers.begin(), myLayers.end(), layer);
    if (found != myLayers.end())
        return static_cast<std::size_t>(found - myLayers.begin());
    return add(layer);
}

std::size_t mByLayer::add(Obh const& layer)
{
    myLayers.push_back(layer);
    return myLayers.size() - 1;
}
