#pragma once

#include <list>
#include <string>

class aImgRgba32;

// The two-dimensional drawing interface of the timeline: the skin, the model, the panes and the
// scene items draw through it, never through the toolkit's painter, so that their drawing can be
// recorded and checked call by call. PainterQt draws on a QPainter.
//
// Coordinates and sizes are float pixels (origin top left, y down). A rectangle is x, y, w, h,
// or two corners in the FromTo forms (x1, y1 to x2, y2: corners are not reordered). There are
// three current colours: the line colour (lines, points, outlines), the fill colour (interiors)
// and the text colour. Colour forms by suffix: Rgb8/Rgba8 ints 0..255, RgbF/RgbaF floats 0..1,
// HsvaF floats 0..1 with hue 1 a full turn, Hsva8 ints 0..255 with hue 255 a full turn; the forms
// without alpha mean opaque.
//
// Batches (line segments, points, lines, polygon) open with their begin call, take any number of
// add calls and close with their end call; they neither nest nor interleave.
class Painter
{
public:
    virtual ~Painter();

    // The scale at which the painted item is shown (1 at unit scale, larger zoomed in).
    virtual double getLod() = 0;
    // The area a routine is to cover; the painter neither clips nor translates by it.
    virtual void set2dGeometry(float x, float y, float w, float h) = 0;
    virtual void get2dGeometry(float& x, float& y, float& w, float& h) const = 0;

    virtual void setLineSmoothing(bool on) = 0;
    virtual void setAntiAliasing(bool on) = 0;
    virtual void setAntiAlias(bool on);
    virtual void setLineThickness(float t) = 0;
    virtual void setLineWidth(float t);
    virtual void setLineSize(float t);
    virtual void setLineDashes(bool on) = 0;
    // Alternating dash and gap lengths in pixels.
    virtual void setLineDashPattern(std::list<float> const& lengths) = 0;

    virtual void setLineColorRgb8(int r, int g, int b);
    virtual void setLineColorRgba8(int r, int g, int b, int a);
    virtual void setLineColorRgbaF(float r, float g, float b, float a) = 0;
    virtual void setLineColorRgbF(float r, float g, float b);
    virtual void setLineColorHsvaF(float h, float s, float v, float a) = 0;
    virtual void setLineColorHsva8(int h, int s, int v, int a);

    virtual void setFillColorRgb8(int r, int g, int b);
    virtual void setFillColorRgba8(int r, int g, int b, int a);
    virtual void setFillColorRgbF(float r, float g, float b);
    virtual void setFillColorRgbaF(float r, float g, float b, float a) = 0;
    virtual void setFillColorHsvaF(float h, float s, float v, float a) = 0;
    virtual void setFillColorHsva8(int h, int s, int v, int a);

    virtual void setTextColorRgb8(int r, int g, int b);
    virtual void setTextColorRgba8(int r, int g, int b, int a);
    virtual void setTextColorRgbaF(float r, float g, float b, float a) = 0;
    virtual void setTextColorHsvaF(float h, float s, float v, float a) = 0;
    virtual void setTextColorHsva8(int h, int s, int v, int a);

    // Switching clipping off here leaves any clip rectangle in force.
    virtual void setClipping(bool on);
    virtual void setClipRect(float x, float y, float w, float h) = 0;
    // Family, point size (truncated to whole points) and weight on the stored 0 to 99 scale.
    virtual void setFont(char const* family, float size, int weight) = 0;

    // A polyline: the first point only starts it, every further point draws on from the last.
    virtual void begin2dLineSegments() = 0;
    virtual void add2dLineSegment(float x, float y) = 0;
    virtual void end2dLineSegments() = 0;
    virtual void begin2dPoints() = 0;
    virtual void add2dPoint(float x, float y) = 0;
    virtual void end2dPoints() = 0;
    virtual void begin2dLines() = 0;
    virtual void add2dLine(float x1, float y1, float x2, float y2) = 0;
    virtual void end2dLines() = 0;
    // A polygon filled in the fill colour by the odd-even rule, without outline.
    virtual void begin2dPolygon() = 0;
    virtual void add2dPolygonVertex(float x, float y) = 0;
    virtual void end2dPolygon() = 0;

    // Start colour at the left (top) edge, end colour at the right (bottom) edge, the middle
    // colour at the fraction mid only when all four of its components are 0 or more. The
    // gradient stays the fill afterwards, and no line colour is left in force.
    virtual void draw2dGradientRectHorz(float x, float y, float w, float h, int sr, int sg, int sb,
                                        int sa, int er, int eg, int eb, int ea, int mr, int mg,
                                        int mb, int ma, float mid) = 0;
    virtual void draw2dGradientRectVert(float x, float y, float w, float h, int sr, int sg, int sb,
                                        int sa, int er, int eg, int eb, int ea, int mr, int mg,
                                        int mb, int ma, float mid) = 0;
    virtual void draw2dFilledRect(float x, float y, float w, float h) = 0;
    // The outline runs along x to x + w - 1 and y to y + h - 1.
    virtual void draw2dOutlinedRect(float x, float y, float w, float h) = 0;
    virtual void draw2dOutlinedFilledRect(float x, float y, float w, float h) = 0;
    virtual void draw2dFilledRectFromTo(float x1, float y1, float x2, float y2) = 0;
    virtual void draw2dOutlinedRectFromTo(float x1, float y1, float x2, float y2) = 0;
    virtual void draw2dOutlinedFilledRectFromTo(float x1, float y1, float x2, float y2) = 0;
    virtual void draw2dLine(float x1, float y1, float x2, float y2) = 0;
    // One line of UTF-8 text in the text colour, aligned in the box (below 0 left or top, 0
    // centred, above 0 right or bottom) and not clipped to it; a negative w or h is replaced by
    // the measured width or height of the text.
    virtual void draw2dText(char const* text, float x, float y, float w, float h, int hAlign,
                            int vAlign) = 0;
    // A w or h of 0 or less means the image's own width or height.
    virtual void draw2dImage(aImgRgba32& img, float x, float y, float w, float h) = 0;
    // The size of the text's bounding box in the current font.
    virtual void getTextSize(char const* text, float& w, float& h) const = 0;
    // Where a text too wide for its room loses characters: at its end, or in its middle so that
    // texts that share a beginning stay apart.
    enum class Cut
    {
        End,
        Middle
    };
    // The text as it fits in w in the current font: whole when it fits, else "…" in place of the
    // characters cut (whole characters, blanks beside the mark dropped) with as many kept as fit:
    // its start for an end cut, its start and its end for a middle cut (the start one character
    // more when their sum is odd); else "…" alone, else nothing.
    std::string elided(char const* text, float w, Cut cut = Cut::End) const;
    virtual float getLineWidth() const = 0;
};
