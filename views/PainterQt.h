#pragma once

#include "Painter.h"

#include <QColor>
#include <QPoint>
#include <QPolygonF>
#include <QSize>
#include <vector>

class QFont;
class QPainter;
class QPen;
class QStyleOptionGraphicsItem;

// The Painter on a QPainter, made on the stack for one paint by whoever began the QPainter (a
// pane's paint handler, a scene item's paint, the graphics view's background pass). Every
// operation acts on the QPainter at once: line colour and thickness live in its pen, the fill in
// its brush, antialiasing in its render hints. Only what the QPainter cannot hold is kept here:
// the text colour, the drawing area, the open polyline, the polygon being collected and the font.
//
// A line setter (or text drawing) that finds no pen first puts an opaque black one back, so a
// line after a gradient or a filled polygon is visible again. What is set on the QPainter
// outlives this object; the QPainter belongs to the caller.
class PainterQt : public Painter
{
public:
    // style: the option of the scene item being painted; null for panes and views.
    explicit PainterQt(QPainter& painter, QStyleOptionGraphicsItem const* style = nullptr);
    ~PainterQt() override;
    PainterQt(PainterQt const&) = delete;
    PainterQt& operator=(PainterQt const&) = delete;

    // The painter drawn on, for drawings made straight in Qt's terms.
    QPainter& qPainter() const { return *myPainter; }
    double getLod() override;
    void set2dGeometry(float x, float y, float w, float h) override;
    void get2dGeometry(float& x, float& y, float& w, float& h) const override;

    void setLineSmoothing(bool on) override;
    void setAntiAliasing(bool on) override;
    // Whole pixels, truncated; below 1 is Qt's one-pixel cosmetic line.
    void setLineThickness(float t) override;
    void setLineDashes(bool on) override;
    void setLineDashPattern(std::list<float> const& lengths) override;

    // The 8-bit forms go straight to the QColor, without a round trip through float.
    void setLineColorRgb8(int r, int g, int b) override;
    void setLineColorRgba8(int r, int g, int b, int a) override;
    void setLineColorRgbaF(float r, float g, float b, float a) override;
    void setLineColorHsvaF(float h, float s, float v, float a) override;
    void setFillColorRgb8(int r, int g, int b) override;
    void setFillColorRgba8(int r, int g, int b, int a) override;
    void setFillColorRgbaF(float r, float g, float b, float a) override;
    void setFillColorHsvaF(float h, float s, float v, float a) override;
    void setTextColorRgbaF(float r, float g, float b, float a) override;
    void setTextColorHsvaF(float h, float s, float v, float a) override;

    void setClipping(bool on) override;
    void setClipRect(float x, float y, float w, float h) override;
    void setFont(char const* family, float size, int weight) override;

    void begin2dLineSegments() override;
    void add2dLineSegment(float x, float y) override;
    void end2dLineSegments() override;
    void begin2dPoints() override;
    void add2dPoint(float x, float y) override;
    void end2dPoints() override;
    void begin2dLines() override;
    void add2dLine(float x1, float y1, float x2, float y2) override;
    void end2dLines() override;
    void begin2dPolygon() override;
    void add2dPolygonVertex(float x, float y) override;
    void end2dPolygon() override;

    void draw2dGradientRectHorz(float x, float y, float w, float h, int sr, int sg, int sb, int sa,
                                int er, int eg, int eb, int ea, int mr, int mg, int mb, int ma,
                                float mid) override;
    void draw2dGradientRectVert(float x, float y, float w, float h, int sr, int sg, int sb, int sa,
                                int er, int eg, int eb, int ea, int mr, int mg, int mb, int ma,
                                float mid) override;
    void draw2dFilledRect(float x, float y, float w, float h) override;
    void draw2dOutlinedRect(float x, float y, float w, float h) override;
    // One rectangle with pen and brush: the fill stops a pixel short on the right and bottom.
    void draw2dOutlinedFilledRect(float x, float y, float w, float h) override;
    void draw2dFilledRectFromTo(float x1, float y1, float x2, float y2) override;
    void draw2dOutlinedRectFromTo(float x1, float y1, float x2, float y2) override;
    // The full filled rectangle, then the outline on it.
    void draw2dOutlinedFilledRectFromTo(float x1, float y1, float x2, float y2) override;
    void draw2dLine(float x1, float y1, float x2, float y2) override;
    void draw2dText(char const* text, float x, float y, float w, float h, int hAlign,
                    int vAlign) override;
    void draw2dImage(aImgRgba32& img, float x, float y, float w, float h) override;
    // Measured in the font set through this painter, else in the QPainter's own.
    void getTextSize(char const* text, float& w, float& h) const override;
    float getLineWidth() const override;

    // A fresh QPainter state for one scope: the state is saved, then the QPainter is moved to the
    // device pixel a picture drawn at `at` would start on, cut to `size` from there and given the
    // pen, brush, font, composition and hints a newly begun QPainter has, so that what is drawn
    // lands as it would on a transparent picture of that size laid at `at`, without the picture
    // (under a transformation that scales, drawn shapes are scaled as shapes; at a device pixel
    // ratio they start on the device pixel nearest `at`, as a picture would). The saved state
    // comes back when the scope ends. A PainterQt on it belongs inside the scope. `shift` moves
    // the start that many device pixels further (for a picture of part of a drawing), where the
    // transformation is a move or a device's scale.
    class FreshState
    {
    public:
        FreshState(QPainter& painter, QPoint at, QSize size, QPoint shift = {});
        ~FreshState();
        FreshState(FreshState const&) = delete;
        FreshState& operator=(FreshState const&) = delete;

    private:
        QPainter& myPainter;
    };

    // Measuring without a painter, as getTextSize measures.
    static void getTextSize(QFont const& font, char const* text, float& w, float& h);
    static void getTextSize(char const* family, int pointSize, char const* text, float& w,
                            float& h);

private:
    // The pen, made an opaque black one first when there is none.
    QPen visiblePen();
    void setPenColor(QColor const& color);
    void setBrushColor(QColor const& color);
    void setTextColor(float r, float g, float b, float a);
    void gradientRect(float x, float y, float w, float h, float x2, float y2, int const* start,
                      int const* end, int const* middle, float mid);
    void applyDashes();
    void line(float x1, float y1, float x2, float y2);
    // Draws a line along an axis as a filled rectangle where that gives Qt's own pixels; false
    // when Qt must draw it.
    bool axisLine(float x1, float y1, float x2, float y2);
    // Setting a font costs more than measuring a remembered text: it reaches the QPainter only
    // when text is drawn (or the paint ends).
    void applyFont();

    float my2dX = 0.0f;
    float my2dY = 0.0f;
    float my2dW = 0.0f;
    float my2dH = 0.0f;
    QPainter* myPainter;
    QColor myTextColor;
    float myLastX = 0.0f;
    float myLastY = 0.0f;
    int myFontId = -1;
    int myAppliedFontId = -1;
    QPolygonF myPolygon;
    bool myFirstSegment = true;
    bool myDashes = false;
    std::vector<float> myDashPattern;
    QStyleOptionGraphicsItem const* myGiStyle;
};
