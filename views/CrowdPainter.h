#pragma once

class QPainter;
class QRectF;
class QStyleOptionGraphicsItem;
class mLayer;

// Draws a layer's crowded rows (those whose events the scene sync gives no item each) into the
// band's picture: at every pixel column of a row, what the item of the event that shows there
// would draw, at the place the item would take. The columns of a narrow event come from pictures
// of its look (its colours, its selection and the row's height) made once through the event's own
// drawing and kept; an event wide enough for its title is drawn by its own drawing, cut to the
// columns it shows in. The cost follows the pixels, not the events.
class CrowdPainter
{
public:
    // painter draws in the layer item's coordinates; exposed is the part to draw.
    static void paint(QPainter& painter, QStyleOptionGraphicsItem const* option, mLayer& layer,
                      QRectF const& exposed);
    // From this width and this row height an event's title may show in its box: such an event is
    // drawn whole by its own drawing.
    static constexpr double TitleWidth = 6;
    static constexpr int TitleHeight = 5;
};
