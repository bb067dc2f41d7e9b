#include "PainterQt.h"
#include "aImgRgba32.h"
#include "uiFonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>

namespace {

// A transparent 40 x 40 image with a QPainter and a PainterQt on it, antialiasing off. Sixteen
// bits a channel keep translucent colours exact through the blending.
struct Canvas
{
    QImage image {40, 40, QImage::Format_RGBA64};
    QPainter qp;
    PainterQt* p = nullptr;

    Canvas()
    {
        image.fill(Qt::transparent);
        qp.begin(&image);
        p = new PainterQt(qp);
        p->set2dGeometry(0, 0, 40, 40);
    }
    ~Canvas() { finish(); }
    // Ends the paint, as the paint handler does, so the pixels can be read.
    void finish()
    {
        delete p;
        p = nullptr;
        if (qp.isActive())
            qp.end();
    }
    std::string at(int x, int y)
    {
        finish();
        QColor const c = image.pixelColor(x, y);
        return std::to_string(c.red()) + "," + std::to_string(c.green()) + "," +
               std::to_string(c.blue()) + "," + std::to_string(c.alpha());
    }
};

char const* const clear = "0,0,0,0";
char const* const black = "0,0,0,255";
char const* const red = "255,0,0,255";

} // namespace

TEST(PainterQtTest, OutlinedRectanglesRunToTheLastPixelInsideAndFilledOnesCoverTheirSize)
{
    Canvas outlined;
    outlined.p->setLineColorRgb8(255, 0, 0);
    outlined.p->draw2dOutlinedRect(0, 0, 10, 10);
    EXPECT_EQ(outlined.at(0, 0), red);
    EXPECT_EQ(outlined.at(9, 9), red);
    EXPECT_EQ(outlined.at(9, 0), red);
    EXPECT_EQ(outlined.at(10, 10), clear);
    EXPECT_EQ(outlined.at(5, 5), clear) << "an outline is not filled";

    Canvas filled;
    filled.p->setFillColorRgb8(255, 0, 0);
    filled.p->setLineColorRgb8(0, 0, 255);
    filled.p->draw2dFilledRect(0, 0, 10, 10);
    EXPECT_EQ(filled.at(0, 0), red) << "a filled rectangle has no outline";
    EXPECT_EQ(filled.at(9, 9), red);
    EXPECT_EQ(filled.at(10, 9), clear);

    Canvas both;
    both.p->setFillColorRgb8(255, 0, 0);
    both.p->setLineColorRgb8(0, 0, 0);
    both.p->draw2dOutlinedFilledRectFromTo(2, 2, 12, 12);
    EXPECT_EQ(both.at(2, 2), black);
    EXPECT_EQ(both.at(11, 11), black);
    EXPECT_EQ(both.at(5, 5), red);
}

TEST(PainterQtTest, FloatColoursTruncateAndReadBackExactly)
{
    Canvas c;
    c.p->setLineColorRgbaF(1, 0.5f, 0, 0.5f);
    c.p->draw2dLine(0, 5.5f, 39, 5.5f);
    EXPECT_EQ(c.qp.pen().color(), QColor(255, 127, 0, 127));
    EXPECT_EQ(c.at(20, 5), "255,127,0,127");

    Canvas hsv;
    hsv.p->setFillColorHsvaF(1.0f / 3.0f, 1, 1, 1);
    hsv.p->draw2dFilledRect(0, 0, 4, 4);
    EXPECT_EQ(hsv.at(1, 1), "0,255,0,255");

    // Out-of-range components are brought into range instead of making an invalid colour.
    Canvas wild;
    wild.p->setFillColorRgbaF(2, -1, 0.5f, 7);
    wild.p->draw2dFilledRect(0, 0, 4, 4);
    EXPECT_EQ(wild.at(1, 1), "255,0,127,255");
}

TEST(PainterQtTest, GradientLeavesNoPenUntilALineSetterPutsAnOpaqueOneBack)
{
    Canvas c;
    c.p->setLineThickness(3);
    c.p->draw2dGradientRectHorz(0, 0, 40, 10, 255, 0, 0, 255, 0, 0, 255, 255, -1, 0, 0, 0, 0.5f);
    c.p->draw2dLine(0, 20, 39, 20);
    EXPECT_EQ(c.qp.pen().style(), Qt::NoPen);
    c.p->setLineColorRgb8(255, 0, 0);
    EXPECT_EQ(c.qp.pen().color(), QColor(255, 0, 0));
    EXPECT_EQ(c.p->getLineWidth(), 1.0f)
        << "the new pen is the plain black one, not the one before the gradient";
    c.p->draw2dLine(0, 30, 39, 30);
    EXPECT_EQ(c.at(10, 20), clear);
    EXPECT_EQ(c.at(10, 30), red);
    EXPECT_GT(c.image.pixelColor(0, 5).red(), 240) << "the gradient runs from the left edge";
    EXPECT_GT(c.image.pixelColor(39, 5).blue(), 240) << "to the right edge";
}

TEST(PainterQtTest, GradientHasAMiddleStopOnlyWhenAllItsComponentsAreGiven)
{
    Canvas c;
    c.p->draw2dGradientRectVert(0, 0, 10, 10, 255, 0, 0, 255, 0, 0, 255, 255, -1, 0, 0, 255, 0.5f);
    ASSERT_NE(c.qp.brush().gradient(), nullptr);
    EXPECT_EQ(c.qp.brush().gradient()->stops().size(), 2);
    c.p->draw2dGradientRectVert(0, 0, 10, 10, 255, 0, 0, 255, 0, 0, 255, 255, 0, 255, 0, 255, 0.5f);
    EXPECT_EQ(c.qp.brush().gradient()->stops().size(), 3);
    EXPECT_EQ(c.qp.brush().gradient()->stops()[1].second, QColor(0, 255, 0));
}

TEST(PainterQtTest, LineThicknessIsTruncatedToWholePixels)
{
    Canvas c;
    c.p->setLineThickness(0.5f);
    EXPECT_EQ(c.p->getLineWidth(), 0.0f);
    c.p->setLineWidth(1.9f);
    EXPECT_EQ(c.p->getLineWidth(), 1.0f);
    c.p->setLineThickness(-4);
    EXPECT_EQ(c.p->getLineWidth(), 0.0f);
}

TEST(PainterQtTest, PolylineStartsAtItsFirstPointAndPolygonStartsEmptyEachTime)
{
    Canvas c;
    c.p->setLineColorRgb8(255, 0, 0);
    c.p->begin2dLineSegments();
    c.p->add2dLineSegment(5.5f, 0.5f);
    c.p->end2dLineSegments();
    c.p->begin2dLineSegments();
    c.p->add2dLineSegment(20.5f, 0.5f);
    c.p->add2dLineSegment(30.5f, 0.5f);
    c.p->add2dLineSegment(30.5f, 10.5f);
    c.p->end2dLineSegments();
    EXPECT_EQ(c.at(5, 0), clear) << "a single point draws nothing";
    EXPECT_EQ(c.at(12, 0), clear) << "no line joins two batches";
    EXPECT_EQ(c.at(25, 0), red);
    EXPECT_EQ(c.at(30, 5), red);

    Canvas poly;
    poly.p->setFillColorRgb8(0, 0, 255);
    poly.p->begin2dPolygon();
    poly.p->add2dPolygonVertex(0, 0);
    poly.p->add2dPolygonVertex(10, 0);
    poly.p->add2dPolygonVertex(0, 10);
    poly.p->begin2dPolygon();
    poly.p->add2dPolygonVertex(20, 20);
    poly.p->add2dPolygonVertex(40, 20);
    poly.p->add2dPolygonVertex(40, 40);
    poly.p->add2dPolygonVertex(20, 40);
    poly.p->end2dPolygon();
    poly.p->draw2dLine(0, 35.5f, 10, 35.5f);
    EXPECT_EQ(poly.at(2, 2), clear);
    EXPECT_EQ(poly.at(30, 30), "0,0,255,255");
    EXPECT_EQ(poly.at(5, 35), black) << "the polygon leaves the pen as it found it";
}

TEST(PainterQtTest, TextIsDrawnInTheTextColourAndLeavesPenAndBrushAlone)
{
    Canvas c;
    c.p->setFont("Helvetica", 20, 75);
    c.p->setTextColorRgb8(0, 255, 0);
    c.p->setFillColorRgb8(255, 0, 0);
    c.p->setLineColorRgb8(0, 0, 255);
    c.p->draw2dText("\xe2\x96\x88\xe2\x96\x88\xe2\x96\x88", 0, 0, 40, 40, 0, 0);
    EXPECT_EQ(c.qp.pen().color(), QColor(0, 0, 255));
    EXPECT_EQ(c.qp.brush().color(), QColor(255, 0, 0));
    EXPECT_EQ(c.at(20, 20), "0,255,0,255") << "three full blocks, read as UTF-8, cover the middle";

    // Without a pen before the text, an opaque black pen stands after it.
    Canvas bare;
    bare.p->draw2dGradientRectHorz(0, 0, 1, 1, 0, 0, 0, 255, 0, 0, 0, 255, -1, -1, -1, -1, 0);
    bare.p->draw2dText("x", 0, 0, 10, 10, -1, -1);
    EXPECT_EQ(bare.qp.pen().style(), Qt::SolidLine);
    EXPECT_EQ(bare.qp.pen().color(), QColor(0, 0, 0, 255));
}

TEST(PainterQtTest, TextIsMeasuredAsUtf8InTheFontSetAndElseInThePaintersOwn)
{
    Canvas c;
    QFont big(uiFonts::ourFamily);
    big.setPointSize(30);
    c.qp.setFont(big);
    float w = 0, h = 0;
    c.p->getTextSize("Plan", w, h);
    QRect const expected = QFontMetrics(big).boundingRect("Plan");
    EXPECT_EQ(w, float(expected.width()));
    EXPECT_EQ(h, float(expected.height()));

    c.p->setFont("Gil Sans", 12.9f, 50);
    float w12, h12, w64, h64, wBold, hBold;
    c.p->getTextSize("caf\xc3\xa9", w12, h12);
    EXPECT_EQ(w12, float(QFontMetrics(uiFonts::font("Gil Sans", 12, 50))
                             .boundingRect(QString::fromUtf8("caf\xc3\xa9"))
                             .width()));
    c.p->setFont("Gil Sans", 64, 50);
    c.p->getTextSize("caf\xc3\xa9", w64, h64);
    c.p->setFont("Gil Sans", 12, 75);
    c.p->getTextSize("caf\xc3\xa9", wBold, hBold);
    EXPECT_GT(w64, 4 * w12) << "each size is measured and kept apart";
    EXPECT_GT(wBold, w12) << "each weight is measured and kept apart";

    c.p->getTextSize("", w, h);
    EXPECT_EQ(w, 0.0f);
    EXPECT_EQ(h, 0.0f);
}

TEST(PainterQtTest, NamedFamiliesAreDrawnInTheInstalledOneAtQtsNearestWeight)
{
    EXPECT_EQ(QFontInfo(uiFonts::font("Helvetica", 12, 50)).family(), uiFonts::ourFamily);
    EXPECT_EQ(QFontInfo(uiFonts::font("Gil Sans", 12, 50)).family(), uiFonts::ourFamily);
    EXPECT_EQ(uiFonts::qtWeight(50), QFont::Normal);
    EXPECT_EQ(uiFonts::qtWeight(63), QFont::DemiBold);
    EXPECT_EQ(uiFonts::qtWeight(66), QFont::DemiBold);
    EXPECT_EQ(uiFonts::qtWeight(69), QFont::DemiBold) << "halfway goes to the lighter";
    EXPECT_EQ(uiFonts::qtWeight(75), QFont::Bold);
    EXPECT_EQ(uiFonts::qtWeight(-10), QFont::Thin);
    EXPECT_EQ(uiFonts::qtWeight(250), QFont::Black);
    EXPECT_EQ(uiFonts::font("Helvetica", 0, 50).pixelSize(), 1);
    EXPECT_EQ(uiFonts::font("Helvetica", 12, 50).pixelSize(), 12)
        << "sizes are pixels, as laid out";
}

TEST(PainterQtTest, LevelOfDetailFollowsTheWorldTransformForEveryPainter)
{
    Canvas c;
    EXPECT_EQ(c.p->getLod(), 1.0);
    c.qp.scale(2, 2);
    EXPECT_EQ(c.p->getLod(), 2.0);
}

TEST(PainterQtTest, HugeRectanglesAreClampedAndImagesAreDrawn)
{
    Canvas c;
    c.p->setFillColorRgb8(255, 0, 0);
    c.p->draw2dFilledRect(0, 0, 1e30f, 1e30f);
    EXPECT_EQ(c.at(39, 39), red);

    aImgRgba32 img(2, 2);
    img.FillRgba(0, 0, 255, 255);
    Canvas pic;
    pic.p->draw2dImage(img, 10, 10, 0, -1);
    pic.p->draw2dImage(img, 20, 20, 8, 8);
    EXPECT_EQ(pic.at(11, 11), "0,0,255,255");
    EXPECT_EQ(pic.at(12, 12), clear) << "its own size when none is given";
    EXPECT_EQ(pic.at(27, 27), "0,0,255,255");
}

TEST(PainterQtTest, DashesFollowThePatternAndOnlyWholePairsAreTaken)
{
    Canvas c;
    c.p->setLineColorRgb8(255, 0, 0);
    c.p->setLineDashPattern({1, 2, 3});
    c.p->setLineDashes(true);
    c.p->setLineDashPattern({4, 4});
    c.p->draw2dLine(0, 0.5f, 40, 0.5f);
    c.p->setLineDashes(false);
    c.p->draw2dLine(0, 2.5f, 40, 2.5f);
    EXPECT_EQ(c.at(1, 0), red);
    EXPECT_EQ(c.at(5, 0), clear);
    EXPECT_EQ(c.at(9, 0), red);
    EXPECT_EQ(c.at(5, 2), red);
}

// Lines along an axis and text lines take quicker roads than Qt's own drawing; what reaches the
// screen must not change by a pixel.
TEST(PainterQtTest, AxisLinesLightExactlyThePixelsQtWould)
{
    struct Line
    {
        float a, b, across;
    };
    Line const lines[] = {
        {2, 30, 5},        {30, 2, 5.5f},      {2.49f, 30.51f, 7.99f}, {-3, 12.2f, 0.3f},
        {4.75f, 5.9f, 9},  {10, 10.9999f, 11}, {33.5f, 39.5f, -0.01f}, {0.02f, 39.98f, 39.5f},
        {17, 17.005f, 20}, {12, 12, 22}};
    int k = 0;
    for (Line const& l : lines) {
        for (int variant = 0; variant < 12; ++variant) {
            bool const vertical = variant % 2;
            int const width = variant / 2 % 2;
            // Moved by whole pixels, as a scene item's painter is, either way across zero.
            QPoint const move = QPoint(3, -2) * (variant / 4 == 2 ? -2 : variant / 4);
            QColor const colour(255, 0, 0, 40 + 50 * (k++ % 5));
            QImage ours(40, 40, QImage::Format_ARGB32_Premultiplied);
            ours.fill(QColor(0, 0, 255, 200));
            QImage qts = ours;
            QPen pen(colour);
            pen.setWidth(width);
            {
                QPainter qp(&ours);
                qp.translate(move);
                qp.setPen(pen);
                PainterQt p(qp);
                vertical ? p.draw2dLine(l.across, l.a, l.across, l.b)
                         : p.draw2dLine(l.a, l.across, l.b, l.across);
            }
            {
                QPainter qp(&qts);
                qp.translate(move);
                qp.setPen(pen);
                vertical ? qp.drawLine(QLineF(l.across, l.a, l.across, l.b))
                         : qp.drawLine(QLineF(l.a, l.across, l.b, l.across));
            }
            EXPECT_EQ(ours, qts) << l.a << " to " << l.b << " at " << l.across
                                 << (vertical ? " vertical" : "") << " width " << width << " moved "
                                 << move.x() << ", " << move.y();
        }
    }
}

TEST(PainterQtTest, TextLinesAreDrawnWhereQtWouldPlaceThemInTheBox)
{
    struct Box
    {
        char const* text;
        float size, x, y, w, h;
    };
    Box const boxes[] = {{"Plan", 11, 3, 4, 90, 20},
                         {"Review plan for the spring launch", 14, 10.3f, 2.7f, 60.5f, 13.2f},
                         {"caf\xc3\xa9 \xce\xa9mega", 23, 0, 40, 0, 0},
                         {"two\nlines", 12, 5, 5, 80, 50}};
    for (Box const& box : boxes) {
        for (int align = 0; align < 9; ++align) {
            int const h = align % 3 - 1, v = align / 3 - 1;
            QImage ours(200, 100, QImage::Format_ARGB32_Premultiplied);
            ours.fill(Qt::transparent);
            QImage qts = ours;
            {
                QPainter qp(&ours);
                PainterQt p(qp);
                p.setFont("Gil Sans", box.size, 50);
                p.setTextColorRgb8(255, 255, 255);
                p.draw2dText(box.text, box.x, box.y, box.w, box.h, h, v);
                p.draw2dText(box.text, box.x, box.y, box.w, box.h, h, v);
            }
            {
                QPainter qp(&qts);
                qp.setFont(uiFonts::font("Gil Sans", int(box.size), 50));
                qp.setPen(Qt::white);
                int const flags = Qt::TextDontClip |
                                  (h < 0    ? Qt::AlignLeft
                                   : h == 0 ? Qt::AlignHCenter
                                            : Qt::AlignRight) |
                                  (v < 0    ? Qt::AlignTop
                                   : v == 0 ? Qt::AlignVCenter
                                            : Qt::AlignBottom);
                QRectF const rect(box.x, box.y, box.w, box.h);
                qp.drawText(rect, flags, QString::fromUtf8(box.text));
                qp.drawText(rect, flags, QString::fromUtf8(box.text));
            }
            EXPECT_EQ(ours, qts) << box.text << " aligned " << h << ", " << v;
        }
    }
}

// On a device of a fractional pixel ratio, a fresh state's drawing starts on the device pixel
// nearest its corner, as a picture laid there would: no pixel of it is cut across its left edge.
TEST(PainterQtTest, AFreshStateStartsOnTheDevicePixelNearestItsCorner)
{
    QImage image(60, 60, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1.5);
    image.fill(Qt::transparent);
    {
        QPainter qp(&image);
        qp.translate(0.2, 0);
        // From (1.2, 1) units: device (1.8, 1.5), laid from (2, 2).
        PainterQt::FreshState fresh(qp, QPoint(1, 1), QSize(2, 2));
        qp.setRenderHint(QPainter::Antialiasing);
        qp.fillRect(QRectF(0, 0, 2, 2), Qt::red);
    }
    EXPECT_EQ(qAlpha(image.pixel(1, 3)), 0) << "nothing left of the corner's pixel";
    for (int x = 2; x < 5; ++x)
        EXPECT_EQ(image.pixel(x, 3), qRgb(255, 0, 0)) << "device column " << x;
    EXPECT_EQ(qAlpha(image.pixel(5, 3)), 0);
}

// What a fresh state draws on a device of a fractional pixel ratio does not depend on the device
// pixel it starts on: a picture drawn once and laid anywhere shows what drawing there shows. Short
// lines and square-capped points a unit wide at quarter units, cut by the box, put edges on
// pixels' middles, where a hair either way lights a pixel or not.
TEST(PainterQtTest, AFreshStateDrawsTheSameFromEveryDevicePixel)
{
    auto draw = [](double ratio, int x, int y) {
        QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::black);
        QPainter qp(&image);
        for (int i = 0; i < 8; ++i) {
            qp.resetTransform();
            qp.translate(x / ratio, y / ratio);
            PainterQt::FreshState fresh(qp, QPoint(2 * i, 0), QSize(1, 8));
            PainterQt p(qp);
            p.setLineWidth(1);
            p.setLineColorRgba8(255, 255, 255, 255);
            float const at = float(i) / 4 + 1;
            p.begin2dLines();
            p.add2dLine(0, at + 0.25f, 0, at);
            p.add2dLine(0, at, 0, at);
            p.add2dLine(0, at + 4, 0, at + 4.25f);
            p.end2dLines();
        }
        qp.end();
        return image.copy(x, y, 24, 12);
    };
    for (double ratio : {1.2, 1.25, 4.0 / 3, 1.5, 1.75, 3.0}) {
        QImage const first = draw(ratio, 0, 0);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 8; x += 3)
                EXPECT_EQ(draw(ratio, x, y), first) << "ratio " << ratio << " from " << x << ", " << y;
    }
}

namespace {

// A widget that draws one line, through PainterQt or through Qt.
struct LineWidget : QWidget
{
    Q_OBJECT

public:
    bool ours = true;
    void paintEvent(QPaintEvent*) override
    {
        QPainter qp(this);
        qp.setPen(QPen(Qt::red, 0));
        if (ours) {
            PainterQt p(qp);
            p.draw2dLine(3, 5, 20, 5);
        } else {
            qp.drawLine(QLineF(3, 5, 20, 5));
        }
    }
};

} // namespace

// A widget rendered onto a picture of two device pixels a unit draws its lines along an axis as
// Qt would there, though its own device has one pixel a unit.
TEST(PainterQtTest, AxisLinesOnAPictureOfAnotherPixelRatioAreQtsOwn)
{
    LineWidget widget;
    widget.resize(30, 10);
    QImage ours(60, 20, QImage::Format_ARGB32_Premultiplied), qts = ours;
    for (QImage* shot : {&ours, &qts}) {
        shot->setDevicePixelRatio(2);
        shot->fill(Qt::transparent);
        widget.ours = shot == &ours;
        widget.render(shot);
    }
    EXPECT_EQ(ours, qts);
}

#include "PainterQtTest.moc"
