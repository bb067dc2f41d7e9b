#include "DropZone.h"

#include <iterator>

namespace {

using Makes = DropZoneRule::Makes;
using Guide = DropZoneRule::Guide;

// Layers are made in yellow, a bottom row in green, a top row in cyan; a drop into the rows
// shows its ghosts in white.
DropZoneRule const Rules[] = {
    {DropZone::NewLayerAboveAll, "NewLayerAboveAll", "New layer", Makes::LayerBefore,
     Guide::AcrossGap, 255, 255, 0},
    {DropZone::NewLayerBefore, "NewLayerBefore", "New layer", Makes::LayerBefore, Guide::AcrossGap,
     255, 255, 0},
    {DropZone::NewTopRow, "NewTopRow", "New top row", Makes::RowAtTop, Guide::AtGapEnd, 0, 255,
     255},
    {DropZone::IntoRows, "IntoRows", "Drop on\n", Makes::Nothing, Guide::None, 255, 255, 255},
    {DropZone::NewBottomRow, "NewBottomRow", "New bottom row", Makes::RowAtBottom,
     Guide::AtGapStart, 0, 255, 0},
    {DropZone::NewLayerAfter, "NewLayerAfter", "New layer", Makes::LayerAfter, Guide::AcrossGap,
     255, 255, 0},
    {DropZone::NewLayerBelowAll, "NewLayerBelowAll", "New layer", Makes::LayerAfter,
     Guide::AcrossGap, 255, 255, 0},
    {DropZone::NoLayer, "NoLayer", nullptr, Makes::Nothing, Guide::None, 255, 255, 255},
};

constexpr int First = static_cast<int>(DropZone::NewLayerAboveAll);

} // namespace

DropZoneRule const& DropZoneRule::of(DropZone zone)
{
    int const at = static_cast<int>(zone) - First;
    if (at < 0 || at >= static_cast<int>(std::size(Rules)))
        return Rules[std::size(Rules) - 1];
    return Rules[at];
}

std::span<DropZoneRule const> DropZoneRule::all()
{
    return Rules;
}
