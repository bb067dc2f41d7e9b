#pragma once

#include <QColor>

class QPainter;

// What the colour picker's widgets share: the conversion of a colour held as hue, saturation,
// value and opacity (each 0 to 1, the hue a fraction of a full turn) into 8-bit components, and
// the checkerboard and frame they draw.
//
// Components are rounded to the nearest 8-bit step: every 8-bit colour converted to the held form
// and back comes out exactly as it went in, so a colour nobody edits never drifts.
class uiColorDraw
{
public:
    // One component (0 to 1) as 0 to 255; out-of-range values are brought into range, and a
    // value that is not a number gives 0.
    static int toByte(float c);
    static void toRgba8(float h, float s, float v, float a, int& r, int& g, int& b, int& a8);
    static QColor toQColor(float h, float s, float v, float a);

    // Black and white cells of 5 by 5 pixels from the top-left corner, black first, covering
    // w x h and a cell beyond on each side; what shows through a transparent colour.
    static void checkerboard(QPainter& painter, int w, int h);
    // The light grey outline of a w x h widget, without fill.
    static void frame(QPainter& painter, int w, int h);
};
