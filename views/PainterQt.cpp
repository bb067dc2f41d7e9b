#include "PainterQt.h"

#include "aColor.h"
#include "aImgRgba32.h"
#include "aNumber.h"
#include "aTrace.h"
#include "uiFonts.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>
#include <QStaticText>
#include <QStyleOptionGraphicsItem>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Coordinates reach Qt's integer calls truncated toward zero, without overflow.
int whole(float v)
{
    return aNumber::saturateToInt(double(v));
}

int channel8(int c)
{
    return std::clamp(c, 0, 255);
}

// A float component as 8 bits: product in single precision, truncated (0.5 gives 127).
int channelF(float c)
{
    if (!(c > 0.0f))
        return 0;
    return channel8(whole(c * 255.0f));
}

QColor color8(int r, int g, int b, int a)
{
    return QColor(channel8(r), channel8(g), channel8(b), channel8(a));
}

QColor colorF(float r, float g, float b, float a)
{
    return QColor(channelF(r), channelF(g), channelF(b), channelF(a));
}

// Hue 1 is a full turn.
void hsvToRgb(float h, float s, float v, float& r, float& g, float& b)
{
    aColor::HsvToRgb(float(double(h) * 360.0), s, v, r, g, b);
}

float unitClamped(float c)
{
    return c > 0.0f ? std::min(c, 1.0f) : 0.0f;
}

// How far past a device pixel's corner a drawing on a scaled device starts. pixel / scale * scale
// need not give the pixel back (61 / 1.75 * 1.75 falls a hair short of 61), and an edge of the
// drawing on a pixel's middle lands a hair before it, on it or after it as the pixel gives: Qt
// lights the pixel for some and not others (6.8 in more cases than 6.4), so that a picture drawn
// once would not show what drawing in place shows. A sixteenth of the step Qt fills aliased
// shapes by (1/65536 pixel) puts every such edge past the middle from every pixel; it is too
// small to move anything else.
constexpr double PastCorner = 1.0 / (1 << 20);

// The least move in units that a device's scale takes at least PastCorner past the device pixel.
double unitsOnto(int pixel, double scale)
{
    double const target = pixel + PastCorner;
    double units = target / scale;
    // The quotient is within a step or two of it.
    for (int i = 0; i < 4 && units * scale < target; ++i)
        units = std::nextafter(units, HUGE_VAL);
    for (int i = 0; i < 4; ++i) {
        double const less = std::nextafter(units, -HUGE_VAL);
        if (!(less * scale >= target))
            break;
        units = less;
    }
    return units;
}

} // namespace

PainterQt::PainterQt(QPainter& painter, QStyleOptionGraphicsItem const* style)
    : myPainter(&painter), myTextColor(0, 0, 0, 255), myGiStyle(style)
{
    uiFonts::installSubstitutions();
}

PainterQt::FreshState::FreshState(QPainter& painter, QPoint at, QSize size, QPoint shift)
    : myPainter(painter)
{
    painter.save();
    QTransform const toDevice = painter.combinedTransform();
    if (toDevice.type() <= QTransform::TxTranslate) {
        // Where a picture drawn at `at` lands: Qt rounds its corner to the nearest device pixel.
        QPoint const corner(qRound(toDevice.dx() + at.x()), qRound(toDevice.dy() + at.y()));
        painter.resetTransform();
        painter.translate(corner + shift);
    } else if (toDevice.type() == QTransform::TxScale && toDevice.m11() > 0 && toDevice.m22() > 0 &&
               painter.worldTransform().type() <= QTransform::TxTranslate &&
               !painter.viewTransformEnabled()) {
        // A device of several pixels a unit (its pixel ratio): the drawing starts on the device
        // pixel nearest the corner too, scaled from there, so that what lands in each device
        // pixel does not depend on where the corner falls between two.
        QPointF const corner = toDevice.map(QPointF(at));
        painter.resetTransform();
        painter.translate(unitsOnto(qRound(corner.x()) + shift.x(), toDevice.m11()),
                          unitsOnto(qRound(corner.y()) + shift.y(), toDevice.m22()));
    } else {
        painter.translate(at);
    }
    painter.setClipRect(QRect(QPoint(0, 0), size), Qt::IntersectClip);
    painter.setPen(QPen());
    painter.setBrush(QBrush());
    painter.setFont(QFont());
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHints(painter.renderHints(), false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
}

PainterQt::FreshState::~FreshState()
{
    myPainter.restore();
}

PainterQt::~PainterQt()
{
    applyFont();
}

double PainterQt::getLod()
{
    // The world transform says it for every painter; a scene item's option adds nothing to it.
    return QStyleOptionGraphicsItem::levelOfDetailFromTransform(myPainter->worldTransform());
}

void PainterQt::set2dGeometry(float x, float y, float w, float h)
{
    my2dX = x;
    my2dY = y;
    my2dW = w;
    my2dH = h;
}

void PainterQt::get2dGeometry(float& x, float& y, float& w, float& h) const
{
    x = my2dX;
    y = my2dY;
    w = my2dW;
    h = my2dH;
}

void PainterQt::setLineSmoothing(bool on)
{
    setAntiAliasing(on);
}

void PainterQt::setAntiAliasing(bool on)
{
    myPainter->setRenderHint(QPainter::Antialiasing, on);
}

void PainterQt::setLineThickness(float t)
{
    QPen pen = visiblePen();
    pen.setWidth(std::max(whole(t), 0));
    myPainter->setPen(pen);
    if (myDashes)
        applyDashes();
}

void PainterQt::setLineDashes(bool on)
{
    myDashes = on;
    applyDashes();
}

void PainterQt::setLineDashPattern(std::list<float> const& lengths)
{
    bool const usable =
        !lengths.empty() && lengths.size() % 2 == 0 &&
        std::all_of(lengths.begin(), lengths.end(), [](float l) { return l > 0.0f; });
    if (!usable) {
        A_TRACE(
            "Dash pattern of %zu lengths ignored: dash and gap pairs of positive lengths only\n",
            lengths.size());
        return;
    }
    myDashPattern.assign(lengths.begin(), lengths.end());
    if (myDashes)
        applyDashes();
}

void PainterQt::applyDashes()
{
    QPen pen = visiblePen();
    if (!myDashes) {
        pen.setStyle(Qt::SolidLine);
    } else if (myDashPattern.empty()) {
        pen.setStyle(Qt::DashLine);
    } else {
        // Qt counts dashes in pen widths.
        qreal const unit = std::max(pen.widthF(), 1.0);
        QList<qreal> pattern;
        for (float length : myDashPattern)
            pattern.append(qreal(length) / unit);
        pen.setDashPattern(pattern);
    }
    myPainter->setPen(pen);
}

void PainterQt::setLineColorRgb8(int r, int g, int b)
{
    setPenColor(color8(r, g, b, 255));
}

void PainterQt::setLineColorRgba8(int r, int g, int b, int a)
{
    setPenColor(color8(r, g, b, a));
}

void PainterQt::setLineColorRgbaF(float r, float g, float b, float a)
{
    setPenColor(colorF(r, g, b, a));
}

void PainterQt::setLineColorHsvaF(float h, float s, float v, float a)
{
    float r, g, b;
    hsvToRgb(h, s, v, r, g, b);
    setLineColorRgbaF(r, g, b, a);
}

void PainterQt::setFillColorRgb8(int r, int g, int b)
{
    setBrushColor(color8(r, g, b, 255));
}

void PainterQt::setFillColorRgba8(int r, int g, int b, int a)
{
    setBrushColor(color8(r, g, b, a));
}

void PainterQt::setFillColorRgbaF(float r, float g, float b, float a)
{
    setBrushColor(colorF(r, g, b, a));
}

void PainterQt::setFillColorHsvaF(float h, float s, float v, float a)
{
    float r, g, b;
    hsvToRgb(h, s, v, r, g, b);
    setFillColorRgbaF(r, g, b, a);
}

void PainterQt::setTextColorRgbaF(float r, float g, float b, float a)
{
    setTextColor(r, g, b, a);
}

void PainterQt::setTextColorHsvaF(float h, float s, float v, float a)
{
    float r, g, b;
    hsvToRgb(h, s, v, r, g, b);
    setTextColor(r, g, b, a);
}

void PainterQt::setTextColor(float r, float g, float b, float a)
{
    myTextColor.setRgbF(unitClamped(r), unitClamped(g), unitClamped(b), 1.0f);
    myTextColor.setAlphaF(unitClamped(a));
}

void PainterQt::setClipping(bool on)
{
    myPainter->setClipping(on);
}

void PainterQt::setClipRect(float x, float y, float w, float h)
{
    myPainter->setClipRect(whole(x), whole(y), whole(w), whole(h), Qt::ReplaceClip);
}

void PainterQt::setFont(char const* family, float size, int weight)
{
    myFontId = uiFonts::fontId(family, whole(size), weight);
}

void PainterQt::applyFont()
{
    if (myFontId < 0 || myFontId == myAppliedFontId)
        return;
    myPainter->setFont(uiFonts::fontById(myFontId));
    myAppliedFontId = myFontId;
}

void PainterQt::begin2dLineSegments()
{
    myFirstSegment = true;
    myPainter->setBrush(Qt::NoBrush);
}

void PainterQt::add2dLineSegment(float x, float y)
{
    if (myFirstSegment)
        myFirstSegment = false;
    else
        line(myLastX, myLastY, x, y);
    myLastX = x;
    myLastY = y;
}

void PainterQt::end2dLineSegments()
{
}

void PainterQt::begin2dPoints()
{
}

void PainterQt::add2dPoint(float x, float y)
{
    myPainter->drawPoint(QPointF(x, y));
}

void PainterQt::end2dPoints()
{
}

void PainterQt::begin2dLines()
{
}

void PainterQt::add2dLine(float x1, float y1, float x2, float y2)
{
    line(x1, y1, x2, y2);
}

void PainterQt::end2dLines()
{
}

void PainterQt::begin2dPolygon()
{
    myPolygon.clear();
}

void PainterQt::add2dPolygonVertex(float x, float y)
{
    myPolygon.append(QPointF(x, y));
}

void PainterQt::end2dPolygon()
{
    if (myPolygon.isEmpty())
        return;
    myPainter->save();
    myPainter->setPen(Qt::NoPen);
    myPainter->drawPolygon(myPolygon, Qt::OddEvenFill);
    myPainter->restore();
}

void PainterQt::draw2dGradientRectHorz(float x, float y, float w, float h, int sr, int sg, int sb,
                                       int sa, int er, int eg, int eb, int ea, int mr, int mg,
                                       int mb, int ma, float mid)
{
    int const start[] = {sr, sg, sb, sa};
    int const end[] = {er, eg, eb, ea};
    int const middle[] = {mr, mg, mb, ma};
    gradientRect(x, y, w, h, x + w, y, start, end, middle, mid);
}

void PainterQt::draw2dGradientRectVert(float x, float y, float w, float h, int sr, int sg, int sb,
                                       int sa, int er, int eg, int eb, int ea, int mr, int mg,
                                       int mb, int ma, float mid)
{
    int const start[] = {sr, sg, sb, sa};
    int const end[] = {er, eg, eb, ea};
    int const middle[] = {mr, mg, mb, ma};
    gradientRect(x, y, w, h, x, y + h, start, end, middle, mid);
}

void PainterQt::gradientRect(float x, float y, float w, float h, float x2, float y2,
                             int const* start, int const* end, int const* middle, float mid)
{
    QLinearGradient gradient(QPointF(x, y), QPointF(x2, y2));
    gradient.setColorAt(0.0, color8(start[0], start[1], start[2], start[3]));
    bool const hasMiddle = std::all_of(middle, middle + 4, [](int c) { return c >= 0; });
    // Qt ignores a stop outside 0 to 1 (with a warning); such a middle is left out here.
    if (hasMiddle && mid >= 0.0f && mid <= 1.0f)
        gradient.setColorAt(qreal(mid), color8(middle[0], middle[1], middle[2], middle[3]));
    gradient.setColorAt(1.0, color8(end[0], end[1], end[2], end[3]));
    // Left in force, as callers expect: the gradient fill, and no pen.
    myPainter->setBrush(QBrush(gradient));
    myPainter->setPen(Qt::NoPen);
    myPainter->drawRect(whole(x), whole(y), whole(w), whole(h));
}

void PainterQt::draw2dFilledRect(float x, float y, float w, float h)
{
    QPen const pen = myPainter->pen();
    myPainter->setPen(Qt::NoPen);
    myPainter->drawRect(whole(x), whole(y), whole(w), whole(h));
    myPainter->setPen(pen);
}

void PainterQt::draw2dOutlinedRect(float x, float y, float w, float h)
{
    QBrush const brush = myPainter->brush();
    myPainter->setBrush(Qt::NoBrush);
    myPainter->drawRect(whole(x), whole(y), whole(w - 1.0f), whole(h - 1.0f));
    myPainter->setBrush(brush);
}

void PainterQt::draw2dOutlinedFilledRect(float x, float y, float w, float h)
{
    myPainter->drawRect(whole(x), whole(y), whole(w - 1.0f), whole(h - 1.0f));
}

void PainterQt::draw2dFilledRectFromTo(float x1, float y1, float x2, float y2)
{
    draw2dFilledRect(x1, y1, x2 - x1, y2 - y1);
}

void PainterQt::draw2dOutlinedRectFromTo(float x1, float y1, float x2, float y2)
{
    draw2dOutlinedRect(x1, y1, x2 - x1, y2 - y1);
}

void PainterQt::draw2dOutlinedFilledRectFromTo(float x1, float y1, float x2, float y2)
{
    draw2dFilledRectFromTo(x1, y1, x2, y2);
    draw2dOutlinedRectFromTo(x1, y1, x2, y2);
}

void PainterQt::draw2dLine(float x1, float y1, float x2, float y2)
{
    line(x1, y1, x2, y2);
}

void PainterQt::line(float x1, float y1, float x2, float y2)
{
    if (!axisLine(x1, y1, x2, y2))
        myPainter->drawLine(QLineF(x1, y1, x2, y2));
}

bool PainterQt::axisLine(float x1, float y1, float x2, float y2)
{
    // Qt steps a thin aliased line pixel by pixel, blending each one alone: a translucent
    // line costs a hundred times a filled rectangle. A line along an axis lights the pixels a
    // one-pixel rectangle covers, so it is filled as one, where that is exactly what Qt would draw:
    // a plain thin square-capped pen, no antialiasing, no transform but a move by whole pixels,
    // one device pixel per pixel.
    bool const horizontal = y1 == y2;
    if (!horizontal && x1 != x2)
        return false;
    if (myPainter->testRenderHint(QPainter::Antialiasing))
        return false;
    QPen const& pen = myPainter->pen();
    if (pen.style() != Qt::SolidLine || pen.width() > 1 || pen.capStyle() != Qt::SquareCap ||
        pen.brush().style() != Qt::SolidPattern)
        return false;
    // The device's own scale (its pixel ratio) is in the combined transformation, not always in
    // the device's ratio (a widget rendered onto a picture of another ratio).
    QTransform const& move = myPainter->worldTransform();
    if (move.type() > QTransform::TxTranslate || move.dx() != std::trunc(move.dx()) ||
        move.dy() != std::trunc(move.dy()) || myPainter->combinedTransform() != move)
        return false;
    // Qt places line ends on the device in 1/64 pixel, truncated toward zero; the pixel is the
    // floor of that.
    constexpr double limit = 1 << 24;
    double const moveAlong = horizontal ? move.dx() : move.dy();
    double const moveAcross = horizontal ? move.dy() : move.dx();
    double const along1 = (horizontal ? x1 : y1) + moveAlong;
    double const along2 = (horizontal ? x2 : y2) + moveAlong;
    double const across = (horizontal ? y1 : x1) + moveAcross;
    if (!(std::fabs(along1) < limit && std::fabs(along2) < limit && std::fabs(across) < limit))
        return false;
    int const a = int(along1 * 64.0), b = int(along2 * 64.0), c = int(across * 64.0);
    // Lines under a pixel long follow rules of their own.
    if (std::abs(a - b) < 64)
        return false;
    int const from = std::min(a, b) >> 6, to = std::max(a, b) >> 6, at = c >> 6;
    QRect const pixels =
        horizontal ? QRect(from, at, to - from + 1, 1) : QRect(at, from, 1, to - from + 1);
    myPainter->fillRect(pixels.translated(-int(move.dx()), -int(move.dy())), pen.color());
    return true;
}

void PainterQt::draw2dText(char const* text, float x, float y, float w, float h, int hAlign,
                           int vAlign)
{
    if (w < 0.0f || h < 0.0f) {
        float tw = 0.0f, th = 0.0f;
        getTextSize(text, tw, th);
        if (w < 0.0f)
            w = tw;
        if (h < 0.0f)
            h = th;
    }
    int flags = Qt::TextDontClip;
    flags |= hAlign < 0 ? Qt::AlignLeft : hAlign == 0 ? Qt::AlignHCenter : Qt::AlignRight;
    flags |= vAlign < 0 ? Qt::AlignTop : vAlign == 0 ? Qt::AlignVCenter : Qt::AlignBottom;

    applyFont();
    QBrush const brush = myPainter->brush();
    myPainter->setBrush(Qt::NoBrush);
    QPen const pen = visiblePen();
    myPainter->setPen(myTextColor);
    // Laying a line out costs more than drawing it: a line drawn before is drawn as laid out then,
    // placed as Qt would place it in the box. A move (items paint moved onto the view's painter)
    // keeps the laid-out line as it is.
    QStaticText const* prepared = nullptr;
    if (myFontId >= 0 && myPainter->worldTransform().type() <= QTransform::TxTranslate)
        prepared = uiFonts::preparedText(myFontId, text);
    if (prepared) {
        qreal const tw = prepared->size().width(), th = uiFonts::lineHeight(myFontId);
        qreal const dx = hAlign < 0 ? 0 : hAlign == 0 ? (w - tw) / 2 : w - tw;
        qreal const dy = vAlign < 0 ? 0 : vAlign == 0 ? (h - th) / 2 : h - th;
        myPainter->drawStaticText(QPointF(x + dx, y + dy), *prepared);
    } else {
        myPainter->drawText(QRectF(x, y, w, h), flags, QString::fromUtf8(text ? text : ""));
    }
    myPainter->setPen(pen);
    myPainter->setBrush(brush);
}

void PainterQt::draw2dImage(aImgRgba32& img, float x, float y, float w, float h)
{
    unsigned char* data = img.GetData();
    if (!data)
        return;
    int const iw = int(img.GetW());
    int const ih = int(img.GetH());
    if (w <= 0.0f)
        w = float(iw);
    if (h <= 0.0f)
        h = float(ih);
    // The image's bytes are r, g, b, a with straight alpha; the QImage only looks at them.
    QImage const view(data, iw, ih, qsizetype(img.GetDy()), QImage::Format_RGBA8888);
    myPainter->drawImage(QRectF(x, y, w, h), view);
}

void PainterQt::getTextSize(char const* text, float& w, float& h) const
{
    int const id = myFontId >= 0 ? myFontId : uiFonts::fontId(myPainter->font());
    uiFonts::textSize(id, text, w, h);
}

float PainterQt::getLineWidth() const
{
    return float(myPainter->pen().width());
}

void PainterQt::getTextSize(QFont const& font, char const* text, float& w, float& h)
{
    uiFonts::textSize(uiFonts::fontId(font), text, w, h);
}

void PainterQt::getTextSize(char const* family, int pointSize, char const* text, float& w, float& h)
{
    uiFonts::textSize(uiFonts::fontId(family, pointSize, 50), text, w, h);
}

QPen PainterQt::visiblePen()
{
    if (myPainter->pen().style() == Qt::NoPen)
        myPainter->setPen(QColor(0, 0, 0, 255));
    return myPainter->pen();
}

void PainterQt::setPenColor(QColor const& color)
{
    QPen pen = visiblePen();
    pen.setColor(color);
    myPainter->setPen(pen);
}

void PainterQt::setBrushColor(QColor const& color)
{
    myPainter->setBrush(QBrush(color, Qt::SolidPattern));
}
