#pragma once

#include "Painter.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

// A Painter that draws nothing and writes down every call, by the name it was called with, as
// text such as "setFillColorRgba8(131, 131, 131, 255)" or "draw2dText(\"Plan\", 5, 2, 90, 16, 0,
// 0)". Numbers print with %g, so 0.5 reads "0.5" and 2.0 reads "2". Drawing code is then checked by
// comparing its call sequence with the expected one:
//
//     RecordingPainter p(0, 0, 100, 20);
//     event.giPaint(p);
//     EXPECT_THAT(p.calls(), testing::ElementsAre(...));
//
// Queries (getLod, get2dGeometry, getTextSize, getLineWidth) answer from what was set and are
// written down only when recordQueries is on. Text is measured by `measure`; by default a text is
// half the point size wide per byte and the point size high, in the last font set (12 before).
class RecordingPainter : public Painter
{
public:
    RecordingPainter(float x = 0, float y = 0, float w = 0, float h = 0)
        : myX(x), myY(y), myW(w), myH(h)
    {
    }

    std::vector<std::string> const& calls() const { return myCalls; }
    void clear() { myCalls.clear(); }
    // The calls whose text starts with the prefix ("setLineColor", "draw2d"), in order.
    std::vector<std::string> callsStartingWith(char const* prefix) const
    {
        std::vector<std::string> found;
        for (std::string const& call : myCalls)
            if (call.rfind(prefix, 0) == 0)
                found.push_back(call);
        return found;
    }

    bool recordQueries = false;
    double lod = 1.0;
    std::function<void(char const* text, float fontSize, float& w, float& h)> measure =
        [](char const* text, float fontSize, float& w, float& h) {
            w = text ? float(std::strlen(text)) * fontSize / 2 : 0;
            h = text && *text ? fontSize : 0;
        };

    double getLod() override { return query("getLod()"), lod; }
    void set2dGeometry(float x, float y, float w, float h) override
    {
        record("set2dGeometry", x, y, w, h);
        myX = x, myY = y, myW = w, myH = h;
    }
    void get2dGeometry(float& x, float& y, float& w, float& h) const override
    {
        query("get2dGeometry()");
        x = myX, y = myY, w = myW, h = myH;
    }

    void setLineSmoothing(bool on) override { record("setLineSmoothing", on); }
    void setAntiAliasing(bool on) override { record("setAntiAliasing", on); }
    void setAntiAlias(bool on) override { record("setAntiAlias", on); }
    void setLineThickness(float t) override { record("setLineThickness", t), myLineWidth = t; }
    void setLineWidth(float t) override { record("setLineWidth", t), myLineWidth = t; }
    void setLineSize(float t) override { record("setLineSize", t), myLineWidth = t; }
    void setLineDashes(bool on) override { record("setLineDashes", on); }
    void setLineDashPattern(std::list<float> const& lengths) override
    {
        std::string call = "setLineDashPattern(";
        for (float length : lengths)
            call += (call.back() == '(' ? "" : ", ") + number(length);
        myCalls.push_back(call + ")");
    }

    void setLineColorRgb8(int r, int g, int b) override { record("setLineColorRgb8", r, g, b); }
    void setLineColorRgba8(int r, int g, int b, int a) override
    {
        record("setLineColorRgba8", r, g, b, a);
    }
    void setLineColorRgbaF(float r, float g, float b, float a) override
    {
        record("setLineColorRgbaF", r, g, b, a);
    }
    void setLineColorRgbF(float r, float g, float b) override
    {
        record("setLineColorRgbF", r, g, b);
    }
    void setLineColorHsvaF(float h, float s, float v, float a) override
    {
        record("setLineColorHsvaF", h, s, v, a);
    }
    void setLineColorHsva8(int h, int s, int v, int a) override
    {
        record("setLineColorHsva8", h, s, v, a);
    }

    void setFillColorRgb8(int r, int g, int b) override { record("setFillColorRgb8", r, g, b); }
    void setFillColorRgba8(int r, int g, int b, int a) override
    {
        record("setFillColorRgba8", r, g, b, a);
    }
    void setFillColorRgbF(float r, float g, float b) override
    {
        record("setFillColorRgbF", r, g, b);
    }
    void setFillColorRgbaF(float r, float g, float b, float a) override
    {
        record("setFillColorRgbaF", r, g, b, a);
    }
    void setFillColorHsvaF(float h, float s, float v, float a) override
    {
        record("setFillColorHsvaF", h, s, v, a);
    }
    void setFillColorHsva8(int h, int s, int v, int a) override
    {
        record("setFillColorHsva8", h, s, v, a);
    }

    void setTextColorRgb8(int r, int g, int b) override { record("setTextColorRgb8", r, g, b); }
    void setTextColorRgba8(int r, int g, int b, int a) override
    {
        record("setTextColorRgba8", r, g, b, a);
    }
    void setTextColorRgbaF(float r, float g, float b, float a) override
    {
        record("setTextColorRgbaF", r, g, b, a);
    }
    void setTextColorHsvaF(float h, float s, float v, float a) override
    {
        record("setTextColorHsvaF", h, s, v, a);
    }
    void setTextColorHsva8(int h, int s, int v, int a) override
    {
        record("setTextColorHsva8", h, s, v, a);
    }

    void setClipping(bool on) override { record("setClipping", on); }
    void setClipRect(float x, float y, float w, float h) override
    {
        record("setClipRect", x, y, w, h);
    }
    void setFont(char const* family, float size, int weight) override
    {
        recordText("setFont", family, size, weight);
        myFontSize = float(int(size));
    }

    void begin2dLineSegments() override { record("begin2dLineSegments"); }
    void add2dLineSegment(float x, float y) override { record("add2dLineSegment", x, y); }
    void end2dLineSegments() override { record("end2dLineSegments"); }
    void begin2dPoints() override { record("begin2dPoints"); }
    void add2dPoint(float x, float y) override { record("add2dPoint", x, y); }
    void end2dPoints() override { record("end2dPoints"); }
    void begin2dLines() override { record("begin2dLines"); }
    void add2dLine(float x1, float y1, float x2, float y2) override
    {
        record("add2dLine", x1, y1, x2, y2);
    }
    void end2dLines() override { record("end2dLines"); }
    void begin2dPolygon() override { record("begin2dPolygon"); }
    void add2dPolygonVertex(float x, float y) override { record("add2dPolygonVertex", x, y); }
    void end2dPolygon() override { record("end2dPolygon"); }

    void draw2dGradientRectHorz(float x, float y, float w, float h, int sr, int sg, int sb, int sa,
                                int er, int eg, int eb, int ea, int mr, int mg, int mb, int ma,
                                float mid) override
    {
        record("draw2dGradientRectHorz", x, y, w, h, sr, sg, sb, sa, er, eg, eb, ea, mr, mg, mb, ma,
               mid);
    }
    void draw2dGradientRectVert(float x, float y, float w, float h, int sr, int sg, int sb, int sa,
                                int er, int eg, int eb, int ea, int mr, int mg, int mb, int ma,
                                float mid) override
    {
        record("draw2dGradientRectVert", x, y, w, h, sr, sg, sb, sa, er, eg, eb, ea, mr, mg, mb, ma,
               mid);
    }
    void draw2dFilledRect(float x, float y, float w, float h) override
    {
        record("draw2dFilledRect", x, y, w, h);
    }
    void draw2dOutlinedRect(float x, float y, float w, float h) override
    {
        record("draw2dOutlinedRect", x, y, w, h);
    }
    void draw2dOutlinedFilledRect(float x, float y, float w, float h) override
    {
        record("draw2dOutlinedFilledRect", x, y, w, h);
    }
    void draw2dFilledRectFromTo(float x1, float y1, float x2, float y2) override
    {
        record("draw2dFilledRectFromTo", x1, y1, x2, y2);
    }
    void draw2dOutlinedRectFromTo(float x1, float y1, float x2, float y2) override
    {
        record("draw2dOutlinedRectFromTo", x1, y1, x2, y2);
    }
    void draw2dOutlinedFilledRectFromTo(float x1, float y1, float x2, float y2) override
    {
        record("draw2dOutlinedFilledRectFromTo", x1, y1, x2, y2);
    }
    void draw2dLine(float x1, float y1, float x2, float y2) override
    {
        record("draw2dLine", x1, y1, x2, y2);
    }
    void draw2dText(char const* text, float x, float y, float w, float h, int hAlign,
                    int vAlign) override
    {
        recordText("draw2dText", text, x, y, w, h, hAlign, vAlign);
    }
    void draw2dImage(aImgRgba32&, float x, float y, float w, float h) override
    {
        record("draw2dImage", x, y, w, h);
    }
    void getTextSize(char const* text, float& w, float& h) const override
    {
        query("getTextSize(\"" + std::string(text ? text : "(null)") + "\")");
        measure(text, myFontSize, w, h);
    }
    float getLineWidth() const override { return query("getLineWidth()"), myLineWidth; }

private:
    static std::string number(double v)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%g", v);
        return text;
    }
    static std::string number(int v) { return std::to_string(v); }
    static std::string number(bool v) { return v ? "1" : "0"; }

    template <typename... Args> void record(char const* name, Args... args)
    {
        std::string call = std::string(name) + "(";
        ((call += (call.back() == '(' ? "" : ", ") + number(args)), ...);
        myCalls.push_back(call + ")");
    }
    // The quoted text comes first: draw2dText("Plan", 5, 2, 90, 16, 0, 0), setFont("Gil Sans", 10,
    // 50).
    template <typename... Args> void recordText(char const* name, char const* text, Args... args)
    {
        std::string call = std::string(name) + "(\"" + (text ? text : "(null)") + "\"";
        ((call += ", " + number(args)), ...);
        myCalls.push_back(call + ")");
    }
    void query(std::string const& call) const
    {
        if (recordQueries)
            myCalls.push_back(call);
    }

    float myX, myY, myW, myH;
    float myLineWidth = 0;
    float myFontSize = 12;
    mutable std::vector<std::string> myCalls;
};
