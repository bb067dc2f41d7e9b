// The look check of the timeline pane: the corner panes, the ruler, the layer headers, the
// graphics view with its layer and event items and the control strip over a small document, as
// the pane lays them out. Run it on a display and look at it; it is no part of the program and no
// test runs it.
//
//     build/rel/bench/show_panes
#include "BenchDoc.h"
#include "Ob.h"
#include "ObClassTypeOf.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mTimeline.h"
#include "pTimeline.h"
#include "tlCmp.h"

#include <QApplication>
#include <QTimer>

namespace {

constexpr int HeaderW = 160;
// Tuesday 5 March 2024, 06:00 UTC.
constexpr double Start = 1709618400.0;
constexpr double Hour = 3600;

struct Document : BenchDoc
{
    Obh layer(char const* title, int rows, int r, int g, int b)
    {
        Obh h = timeline.newLayer();
        mLayer* l = tlObj::ourType_mLayer->ptr(h);
        l->setTitle(title);
        l->setBgColorR(r);
        l->setBgColorG(g);
        l->setBgColorB(b);
        l->setBgColorA(200);
        l->addRows(rows - 1); // a new layer has one row
        return h;
    }
    Obh event(Obh layer, double start, double length, double row, char const* title)
    {
        Obh h = tlObj::ourType_mEvent->make();
        mEvent* e = tlObj::ourType_mEvent->ptr(h);
        e->setTitle(title);
        e->setStartTime(start);
        e->setTimeLength(length);
        e->setIsImpulse(length == 0);
        timeline.addEvent(h, start, row, layer, true);
        return h;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Ob::ourTrace = false;
    int rc = 0;
    {
        Document d;
        d.timeline.setShowLayerControls(true);
        mScale& scale = *d.timeline.timeScale();
        scale.setParentPos(0);
        scale.setParentSize(1239);
        scale.zoomToLocalRange(aTs(Start), aTs(Start + 40 * Hour), 1.0f);
        Obh product = d.layer("Product", 3, 60, 90, 150);
        d.event(product, Start + 1 * Hour, 7 * Hour, 0, "Design review");
        Obh build = d.event(product, Start + 9 * Hour, 20 * Hour, 0, "Spring release candidate");
        d.event(product, Start + 3 * Hour, 4 * Hour, 1, "Hiring");
        d.event(product, Start + 30 * Hour, 0, 2, "Ship");
        Obh marketing = d.layer("Marketing", 2, 150, 80, 60);
        d.event(marketing, Start + 5 * Hour, 10 * Hour, 0, "Launch plan");
        d.event(marketing, Start + 18 * Hour, 12 * Hour, 1, "Press");
        Obh team = d.layer("Team", 2, 70, 140, 90);
        d.event(team, Start + 12 * Hour, 3 * Hour, 0, "Offsite");
        d.event(team, Start + 2 * Hour, 0, 1, "Kickoff");
        d.selection.setSelection(build);
        d.selection.addToSelection(marketing);
        scale.localSelectAtParentSpan(700, 760);
        pTimeline pane(nullptr, &d.cmp, d.cmp.getUi());
        pane.setWindowTitle("Vantrel panes");
        pane.resize(1400, 800);
        pane.setLayerHeaderW(HeaderW);
        pane.freeze();
        // Rows 30 pixels high from the top of the stack, once the pane has laid itself out.
        QTimer::singleShot(300, &pane, [&] {
            mScale* rows = d.timeline.perpScale();
            rows->zoomToLocalRange(0.0, rows->getParentSize() / 30.0, 1.0f);
            d.dirt.setDirty(tlObj::DirtRowScaleZoom, true);
            d.refresher.setNeedsRefresh(nullptr);
        });
        rc = app.exec();
    }
    return rc;
}
