#pragma once

#include "Obh.h"
#include "aGraphic.h"
#include "mEventData.h"
#include "tlObj.h"

class XmlReader;
class mLayer;

// One event: a span of time (a start and a length) or an instant, placed at a fractional row of
// one layer, with its texts, colour style and colours. Pooled in the store; the timeline's and the
// layers' event sets know it by handle. It knows its layer by handle, may carry a payload by
// handle, and owns at most one scene item.
class mEvent : public mEventData, public aGraphic, public tlObj
{
public:
    mEvent();
    ~mEvent() override;

    void clearObj() override;
    // Taken from the pool: every attribute from its default, no layer, no payload, no item. A
    // new event in a reused slot shows nothing of the event that held it before.
    void initObj() override;
    void recycleObj() override;
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    // Moving to another row moves the item; the same row answers false.
    bool setRowIndex(double r) override;
    // Another height resizes the item; the same height answers false.
    bool setRowSize(double s) override;

    // One line for traces.
    virtual rtl::str desc() const;
    void giGetBbox(double& x, double& y, double& w, double& h) const override;
    // Draws the event into its item's picture, with a white highlight when it is selected.
    void giPaint(Painter& painter) const override;
    // Draws the event over the painter's area less 2 units above and below: an instant as a
    // diamond with lit and shaded edges, a span as a shaded box with lit and shaded edges and its
    // title, centred at the largest size that fits, else left-aligned at the smallest. lod is the
    // device pixels per unit (edges are one device pixel wide); alphaFactor scales every alpha;
    // the highlight, hlWidth wide in (hlR, hlG, hlB), is drawn when selected and showHighlight.
    // A drag draws the ghosts of its events through it, with settings of its own.
    virtual void draw(Painter& p, double lod, bool selected, float hlWidth, float alphaFactor,
                      bool showHighlight, int hlR, int hlG, int hlB) const;
    // The colours drawn, by the colour style: the event's own, or its layer's (the fill
    // lightened). The alpha is always the event's own.
    virtual void calcBgColor(int& r, int& g, int& b, int& a) const;
    virtual void calcLineColor(int& r, int& g, int& b, int& a) const;
    virtual void calcTextColor(int& r, int& g, int& b, int& a) const;
    virtual void setPayload(Obh& pl) { myPayload = pl; }
    virtual Obh getPayload() const { return myPayload; }
    virtual double eventTime(double t) { return t; }
    virtual void resetSequence() {}
    // The event's own fill colour (not what its colour style draws).
    virtual void getColor(int& r, int& g, int& b, int& a) const;
    // The layer, or null when the handle names none.
    virtual mLayer* getLayer() const;
    virtual Obh getLayerHdl() const { return myLayerHdl; }
    virtual void setLayerHdl(Obh h) { myLayerHdl = h; }

    Obh myPayload;
    Obh myLayerHdl;

private:
    // What recycling and clearing share.
    void release();
    // The scene height of s rows of the event's layer.
    double sceneRows(mLayer const& layer, double s) const;
    // The layer whose colours the event draws in, or null for its own colours.
    mLayer const* colourLayer() const;
};
