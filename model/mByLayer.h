#pragma once

#include "Obh.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class mLayer;

// Layer handles numbered in the order they are first met, for grouping events by their layer:
// the number of a layer met before is looked up by its slot, however the layers interleave. (A
// search through the layers met at every change of layer costs the layers times the events
// when the events' slots interleave across the layers, as in documents made by hand.)
class mByLayer
{
public:
    // The number of the layer handle: size() - 1 for one not met before. Handles that differ in
    // anything are numbered apart; one that names no live layer is searched for.
    std::size_t numberOf(Obh const& layer);
    std::size_t size() const { return myLayers.size(); }
    // The layer numbered n names, as it was when first met; null for none.
    mLayer* layerAt(std::size_t n) const { return myLayers[n].second; }

private:
    std::size_t add(Obh const& layer, mLayer* named);

    std::vector<std::pair<Obh, mLayer*>> myLayers;
    // By the slot of a live layer, its number; None for none.
    static constexpr std::uint32_t None = UINT32_MAX;
    std::vector<std::uint32_t> myBySlot;
};
