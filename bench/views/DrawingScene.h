#pragma once

// A document's timeline laid out by hand for painting: the time scale over an axis of a given
// width, a few layers stacked one under the other, span and instant events placed in their
// rows. The painting benchmarks and the look check paint it with the skin, the layers and the
// events, as the panes and the scene items will.
#include "BenchDoc.h"
#include "ObClassTypeOf.h"
#include "Painter.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mSkin.h"

#include <cmath>
#include <string>
#include <vector>

struct DrawingScene : BenchDoc
{
    mScale& scale = *timeline.timeScale();
    mSkin& skin = *cmp.getCmpSkin();

    // A layer: its handle, its top in the view and its height in pixels.
    struct Band
    {
        Obh hdl;
        float y;
        float h;
    };
    std::vector<Band> bands;
    // An event: its handle, its layer's band, and its box in the view.
    struct Item
    {
        Obh hdl;
        float x, y, w, h;
    };
    std::vector<Item> items;
    float rowH = 24;

    // The window from start, secondsPerPixel wide a pixel, over width pixels, laid out.
    void showAxis(double start, double secondsPerPixel, int width)
    {
        timeline.perpScale()->setZoom(1.0);
        scale.setParentPos(0);
        scale.setParentSize(width);
        scale.zoomToLocalRange(aTs(start), aTs(start + secondsPerPixel * width), 1.0f);
        scale.reconfig();
    }

    mLayer& addLayer(char const* title, int rows, int r, int g, int b)
    {
        Obh h = tlObj::ourType_mLayer->make();
        mLayer& layer = *tlObj::ourType_mLayer->ptr(h);
        layer.setTitle(title);
        layer.setVerticalScale(rowH);
        layer.setBgColorR(r), layer.setBgColorG(g), layer.setBgColorB(b), layer.setBgColorA(110);
        float const top = bands.empty() ? 0 : bands.back().y + bands.back().h;
        float const gap = std::floor(layer.getPaddingTop() * rowH);
        bands.push_back({h, top + gap, float(rows) * rowH});
        return layer;
    }

    // A span (or, with no length, an instant) in a row of the last layer.
    mEvent& addEvent(double start, double length, int row, char const* title)
    {
        Obh h = tlObj::ourType_mEvent->make();
        mEvent& ev = *tlObj::ourType_mEvent->ptr(h);
        Band const& band = bands.back();
        ev.setLayerHdl(band.hdl);
        ev.setStartTime(start);
        ev.setTimeLength(length);
        ev.setIsImpulse(length <= 0);
        ev.setRowIndex(row);
        ev.setTitle(title);
        float const x0 = float(std::floor(scale.localToParent(aTs(start))));
        float const x1 = float(std::ceil(scale.localToParent(aTs(start + length))));
        float const y = band.y + float(row) * rowH;
        if (length > 0)
            items.push_back({h, x0, y, std::max(1.0f, x1 - x0), rowH});
        else
            items.push_back({h, x0 - float(tlObj::ImpulseHalfWidth), y,
                             float(2 * tlObj::ImpulseHalfWidth), rowH});
        return ev;
    }

    // The ruler over the painter's area.
    void paintRuler(Painter& p)
    {
        mSkin::Context context(skin, &timeline, true);
        skin.drawHeader(p);
    }

    // The timeline view over the painter's area (whose origin is the axis' pixel 0): the
    // background, the bands, the events (clipped to their boxes, as their items' pictures are,
    // when asked), the foreground.
    void paintView(Painter& p, bool clipEvents = false)
    {
        float x, y, w, h;
        p.get2dGeometry(x, y, w, h);
        mSkin::Context context(skin, &timeline, true);
        skin.drawTimelineBg(p);
        for (Band const& band : bands) {
            p.set2dGeometry(x, y + band.y, w, band.h);
            tlObj::ourType_mLayer->ptrFromFile(band.hdl)->giPaint(p);
        }
        paintEvents(p, x, y, clipEvents);
        if (clipEvents)
            p.setClipRect(x, y, w, h);
        p.set2dGeometry(x, y, w, h);
        skin.drawTimelineFg(p);
    }

    void paintEvents(Painter& p, float x, float y, bool clip = false)
    {
        for (Item const& item : items) {
            p.set2dGeometry(x + item.x, y + item.y, item.w, item.h);
            if (clip)
                p.setClipRect(x + item.x, y + item.y, item.w, item.h);
            mEvent const& ev = *tlObj::ourType_mEvent->ptrFromFile(item.hdl);
            ev.draw(p, 1.0, selection.isSelectedTest(item.hdl), 2.0f, 1.0f, true, 255, 255, 255);
        }
    }

    // The layer headers, a column w wide, over the painter's area.
    void paintHeaders(Painter& p)
    {
        float x, y, w, h;
        p.get2dGeometry(x, y, w, h);
        for (Band& band : bands) {
            p.set2dGeometry(x, y + band.y, w, band.h);
            tlObj::ourType_mLayer->ptr(band.hdl)->paintLayerHeader(p, band.hdl);
        }
        p.set2dGeometry(x, y, w, h);
    }

    void paintControlPanel(Painter& p)
    {
        mSkin::Context context(skin, &timeline, true);
        skin.drawCtrlPanel(p);
    }
};
