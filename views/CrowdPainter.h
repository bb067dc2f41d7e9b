#pragma once

#include <cstddef>
#include <vector>

class QPainter;
class QRectF;
class QStyleOptionGraphicsItem;
class QTransform;
class mLayer;
class mRowIndex;
class mScale;
class mTimeline;

// Draws a layer's crowded rows (those whose events the scene sync gives no item each) into the
// band's picture: at every device pixel column of a row, what the item of the event that shows
// there would draw, at the place the item would take (at a device pixel ratio, as the items draw
// themselves: each from the device pixel nearest its corner, scaled). The columns of a narrow event
// come from pictures of its look (its colours, its selection and the row's height) made once
// through the event's own drawing and kept; an event wide enough for its title is drawn by its own
// drawing, cut to the columns it shows in. Of a row taller than the view only the part in view
// is drawn, and only that part of its looks is made. The cost follows the pixels shown, not the
// events nor the rows' height.
class CrowdPainter
{
public:
    // painter draws in the layer item's coordinates; exposed is the part to draw.
    static void paint(QPainter& painter, QStyleOptionGraphicsItem const* option, mLayer& layer,
                      QRectF const& exposed);
    // Before a paint of the scene's area through the view's transformation (a move) onto a
    // device of that pixel ratio: works out what every crowded row there shows, the rows shared
    // among the processor's threads, for the paints of the layers that follow. What a paint does
    // not find prepared it works out itself.
    static void prepare(mTimeline& timeline, QRectF const& area, QTransform const& view,
                        double ratio);
    // After that paint: what was prepared points into the rows, which may change after it.
    static void forgetPrepared();
    // What the pictures kept from one paint to the next take, in bytes: about what the view
    // shows, however tall its rows.
    static std::size_t keptBytes();
    // The ghosts of a drag of many events, a row at a time: the events filed in the index by the
    // stack row they keep from the grabbed one (the key's row), each row dx pixels right of its
    // events, at y in the scene: as the guide draws a ghost (half as opaque, outlined in white)
    // where the row stands, else, for a row still to be made, as a mark a unit high (spans and
    // instants alike).
    struct GhostRow
    {
        int dsri = 0;
        double y = 0, h = 0;
        bool inRow = false;
    };
    static void paintGhosts(QPainter& painter, mRowIndex& ghosts, std::vector<GhostRow> const& rows,
                            double dx, mScale const& ts, QRectF const& area);
    // What a picture of an event's look draws: the event as its item draws it, as the guide
    // draws its ghost, or as the mark of a row still to be made.
    enum class Kind
    {
        Item,
        Ghost,
        Mark
    };
    // From this width and this row height (in units, the height as the event's drawing takes it)
    // an event's title may show in its box: such an event is drawn whole by its own drawing.
    static constexpr double TitleWidth = 6;
    static constexpr int TitleHeight = 4;
};
