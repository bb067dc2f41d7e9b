#include "RecordingPainter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;

namespace {

// The recording painter with the interface's own conversions and aliases left in place, so that
// only what they reach is written down.
struct BaseForms : RecordingPainter
{
    void setAntiAlias(bool on) override { Painter::setAntiAlias(on); }
    void setLineWidth(float t) override { Painter::setLineWidth(t); }
    void setLineSize(float t) override { Painter::setLineSize(t); }
    void setLineColorRgb8(int r, int g, int b) override { Painter::setLineColorRgb8(r, g, b); }
    void setLineColorRgba8(int r, int g, int b, int a) override
    {
        Painter::setLineColorRgba8(r, g, b, a);
    }
    void setLineColorRgbF(float r, float g, float b) override
    {
        Painter::setLineColorRgbF(r, g, b);
    }
    void setLineColorHsva8(int h, int s, int v, int a) override
    {
        Painter::setLineColorHsva8(h, s, v, a);
    }
    void setFillColorRgb8(int r, int g, int b) override { Painter::setFillColorRgb8(r, g, b); }
    void setFillColorRgba8(int r, int g, int b, int a) override
    {
        Painter::setFillColorRgba8(r, g, b, a);
    }
    void setFillColorRgbF(float r, float g, float b) override
    {
        Painter::setFillColorRgbF(r, g, b);
    }
    void setFillColorHsva8(int h, int s, int v, int a) override
    {
        Painter::setFillColorHsva8(h, s, v, a);
    }
    void setTextColorRgb8(int r, int g, int b) override { Painter::setTextColorRgb8(r, g, b); }
    void setTextColorRgba8(int r, int g, int b, int a) override
    {
        Painter::setTextColorRgba8(r, g, b, a);
    }
    void setTextColorHsva8(int h, int s, int v, int a) override
    {
        Painter::setTextColorHsva8(h, s, v, a);
    }
    void setClipping(bool on) override { Painter::setClipping(on); }
};

} // namespace

TEST(PainterTest, EightBitFormsReachTheFloatFormsOverTwoHundredFiftyFive)
{
    BaseForms p;
    p.setLineColorRgb8(255, 0, 51);
    p.setFillColorRgba8(0, 255, 0, 51);
    p.setTextColorRgb8(255, 255, 255);
    p.setTextColorRgba8(255, 255, 255, 0);
    // Hue 255 is a full turn: pure red, opaque.
    p.setLineColorHsva8(255, 255, 255, 255);
    p.setFillColorHsva8(0, 0, 51, 255);
    p.setTextColorHsva8(255, 0, 0, 0);
    EXPECT_THAT(p.calls(),
                ElementsAre("setLineColorRgbaF(1, 0, 0.2, 1)", "setFillColorRgbaF(0, 1, 0, 0.2)",
                            "setTextColorRgbaF(1, 1, 1, 1)", "setTextColorRgbaF(1, 1, 1, 0)",
                            "setLineColorHsvaF(1, 1, 1, 1)", "setFillColorHsvaF(0, 0, 0.2, 1)",
                            "setTextColorHsvaF(1, 0, 0, 0)"));
}

TEST(PainterTest, FloatFormsWithoutAlphaAreOpaqueAndAliasesReachTheirOperation)
{
    BaseForms p;
    p.setLineColorRgbF(0.5f, 0.25f, 0);
    p.setFillColorRgbF(0, 0.5f, 1);
    p.setLineWidth(2);
    p.setLineSize(3);
    p.setAntiAlias(true);
    p.setClipping(false);
    EXPECT_THAT(p.calls(),
                ElementsAre("setLineColorRgbaF(0.5, 0.25, 0, 1)", "setFillColorRgbaF(0, 0.5, 1, 1)",
                            "setLineThickness(2)", "setLineThickness(3)", "setAntiAliasing(1)"));
}

TEST(PainterTest, RecordingPainterWritesCallsByTheirNameAndAnswersQueriesFromWhatWasSet)
{
    RecordingPainter p(0, 0, 100, 20);
    p.setFont("Gil Sans", 10.7f, 50);
    float w = 0, h = 0;
    p.getTextSize("Plan", w, h);
    EXPECT_EQ(w, 20.0f);
    EXPECT_EQ(h, 10.0f);
    p.draw2dText("Plan", 5, 2, 90, 16, 0, 0);
    p.setLineWidth(2);
    p.setLineDashPattern({4, 2});
    p.draw2dGradientRectVert(0, 2, 100, 16, 255, 0, 0, 255, 127, 0, 0, 255, -1, -1, -1, -1, 0.5f);
    EXPECT_THAT(
        p.calls(),
        ElementsAre("setFont(\"Gil Sans\", 10.7, 50)", "draw2dText(\"Plan\", 5, 2, 90, 16, 0, 0)",
                    "setLineWidth(2)", "setLineDashPattern(4, 2)",
                    "draw2dGradientRectVert(0, 2, 100, 16, 255, 0, 0, 255, 127, 0, 0, 255, -1, -1, "
                    "-1, -1, 0.5)"));
    EXPECT_EQ(p.getLineWidth(), 2.0f);

    p.clear();
    p.recordQueries = true;
    float x, y;
    p.get2dGeometry(x, y, w, h);
    EXPECT_EQ(w, 100.0f);
    EXPECT_THAT(p.calls(), ElementsAre("get2dGeometry()"));
    EXPECT_THAT(p.callsStartingWith("draw2d"), testing::IsEmpty());
}

TEST(PainterTest, ATextTooWideLosesWholeCharactersAtItsEndOrMiddleToAnEllipsis)
{
    RecordingPainter p;
    p.setFont("Gil Sans", 10, 50); // five pixels a byte; the mark is three bytes
    char const* const title = "Conception & \xC3\x89tudes"; // 19 characters in 20 bytes
    using Cut = Painter::Cut;
    struct
    {
        float w;
        std::string end, middle;
    } const cases[] = {
        {100, title, title},
        {58, "Concepti\xE2\x80\xA6", "Conc\xE2\x80\xA6udes"},
        // "É" is not split, and the blanks beside the mark go.
        {85, "Conception &\xE2\x80\xA6", "Concept\xE2\x80\xA6\xC3\x89tudes"},
        {80, "Conception &\xE2\x80\xA6", "Concep\xE2\x80\xA6\xC3\x89tudes"},
        {79, "Conception &\xE2\x80\xA6", "Concep\xE2\x80\xA6tudes"},
        {15, "\xE2\x80\xA6", "\xE2\x80\xA6"},
        {14, "", ""},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(p.elided(title, c.w), c.end) << "in " << c.w;
        EXPECT_EQ(p.elided(title, c.w, Cut::Middle), c.middle) << "in " << c.w;
    }
    for (Cut cut : {Cut::End, Cut::Middle}) {
        EXPECT_EQ(p.elided("", 0, cut), "");
        EXPECT_EQ(p.elided(nullptr, 10, cut), "");
    }
}
