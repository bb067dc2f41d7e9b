#pragma once

#include <span>

// Where dragged events would land, for the pointer's position across the layer stack
// (mTimeline::getLayerHdlZoneAtSceneRowPos answers it). The numbers are those the drag has always
// had: around one layer, from the space above it down to the space below it.
enum class DropZone : int
{
    NewLayerAboveAll = -3, // a new layer above the first visible layer
    NewLayerBefore = -2,   // a new layer before the lower layer of a gap
    NewTopRow = -1,        // a new top row in the layer
    IntoRows = 0,          // into the layer's rows
    NewBottomRow = 1,      // a new bottom row in the layer
    NewLayerAfter = 2,     // a new layer after the upper layer of a gap
    NewLayerBelowAll = 3,  // a new layer below the last visible layer
    NoLayer = 4,           // no visible layer: nothing can be dropped
};

// What one drop zone does: one rule per zone in one table, read by the zone lookup (the caption),
// the hover (the guide's colour, band and label, the ghosts) and the drop (what it makes before
// the events land). Where the events land follows from what the zone makes: the grabbed event
// takes the new row (or, making nothing, the row under the pointer), every other event keeps its
// distance in stack rows from it.
struct DropZoneRule
{
    // What a drop makes before the events land.
    enum class Makes
    {
        Nothing,     // the rows are there
        RowAtTop,    // a row at the top of the reference layer
        RowAtBottom, // a row at the bottom of the reference layer
        LayerBefore, // a layer of one row just above the reference layer
        LayerAfter,  // a layer of one row just below the reference layer
    };
    // Where the guide marks the new row (the grabbed event's band) and puts its label, against
    // the region the zone lookup divided (its gap).
    enum class Guide
    {
        None,       // no band, no label: the grabbed event's ghost stands in its row
        AtGapStart, // a quarter row just above the gap's start, the label above it
        AcrossGap,  // the whole gap, the label beside its middle
        AtGapEnd,   // a quarter row just below the gap's end, the label below it
    };

    DropZone zone;
    // The zone's name in traces and test output.
    char const* name;
    // The guide label's text; null for a zone whose lookup leaves the caption as it was.
    char const* caption;
    Makes makes;
    Guide guide;
    // The guide's colour: the grabbed event's ghost and the label box.
    int r, g, b;

    // Zones that make rows or layers need the zoning key held; without it the pointer drops
    // into the rows of a layer.
    bool makesRows() const { return makes != Makes::Nothing; }
    // Whether the new row goes above the reference layer's rows (else below them).
    bool makesAbove() const { return makes == Makes::RowAtTop || makes == Makes::LayerBefore; }
    // Whether the new row is a layer of its own.
    bool makesLayer() const { return makes == Makes::LayerBefore || makes == Makes::LayerAfter; }

    // The rule of a zone; a number outside the table reads as NoLayer.
    static DropZoneRule const& of(DropZone zone);
    // Every rule, from NewLayerAboveAll to NoLayer.
    static std::span<DropZoneRule const> all();
};
