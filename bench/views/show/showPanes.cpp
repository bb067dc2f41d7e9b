// The look check of the timeline's panes: the corner panes, the ruler, the layer headers, the
// graphics view with its layer and event items and the control strip over a small document,
// placed by hand as the timeline pane places them. Run it on a display and look at it; it is no
// part of the program and no test runs it.
//
//     build/rel/bench/show_panes
#include "BenchDoc.h"
#include "Ob.h"
#include "ObClassTypeOf.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "pBotLeft.h"
#include "pCtrls.h"
#include "pGv.h"
#include "pHead.h"
#include "pHeader.h"
#include "pTicks.h"
#include "pTimeline.h"
#include "pTopLeft.h"
#include "tlCmp.h"
#include "tlScene.h"
#include "tlUi.h"

#include <QApplication>
#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <list>
#include <vector>

namespace {

constexpr int HeaderW = 160;
constexpr int FooterH = 80;
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

class Window : public QWidget
{
public:
    explicit Window(Document& d) : myDoc(d)
    {
        setWindowTitle("Vantrel panes");
        resize(1400, 800);
        // The timeline pane's own grey shows in the pixel between the columns.
        setAutoFillBackground(true);
        QPalette grey = palette();
        grey.setColor(QPalette::Window, QColor(100, 100, 100));
        setPalette(grey);
        tlCmp* cmp = &d.cmp;
        tlUi* ui = cmp->getUi();
        myPane = new pTimeline(nullptr, cmp, ui);
        myTopLeft = new pTopLeft(this, cmp);
        myTicks = new pTicks(this, cmp);
        myHead = new pHead(this, myPane);
        myGv = new pGv(this, cmp);
        myGv->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        myGv->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        myGv->setScene(ui->getScene());
        myGv->setMouseTracking(true);
        myBotLeft = new pBotLeft(this, cmp);
        myCtrls = new pCtrls(this, cmp, nullptr);
        place();
    }
    ~Window() override { delete myPane; }

    // The six panes at the window's size, the scales at the view's, and one header per layer.
    void place()
    {
        int const top = myDoc.cmp.getCmpSkin()->getTimelineTopHeaderH();
        int const w = width() - HeaderW - 1;
        int const viewH = height() - top - FooterH;
        myTopLeft->setGeometry(0, 0, HeaderW, top);
        myTicks->setGeometry(HeaderW + 1, 0, w, top);
        myHead->setGeometry(0, top, HeaderW, viewH);
        myGv->setGeometry(HeaderW + 1, top, w, viewH);
        myBotLeft->setGeometry(0, height() - FooterH, HeaderW, FooterH);
        myCtrls->setGeometry(HeaderW + 1, height() - FooterH, w, FooterH);
        mTimeline& tl = myDoc.timeline;
        tl.timeScale()->setParentPos(0);
        tl.timeScale()->setParentSize(w);
        tl.timeScale()->sizeChanged();
        tl.perpScale()->setParentPos(0);
        tl.perpScale()->setParentSize(viewH);
        tl.perpScale()->sizeChanged();
        // Rows 30 pixels high from the top of the stack.
        tl.perpScale()->zoomToLocalRange(0.0, viewH / 30.0, 1.0f);
        myGv->setSceneRect(0, 0, w, viewH);
        myDoc.dirt.setDirty(tlObj::DirtLayout, true);
        myDoc.refresher._doRefreshIfNeeded(nullptr);
        stackHeaders();
    }

private:
    void stackHeaders()
    {
        for (pHeader* h : myHeaders)
            delete h;
        myHeaders.clear();
        std::list<Obh> layers;
        myDoc.timeline.getLayers(layers);
        for (Obh h : layers) {
            mLayer* l = tlObj::ourType_mLayer->ptr(h);
            auto* header = new pHeader(myHead, h);
            header->setGeometry(0, int(l->getSceneY()), HeaderW, int(l->getSceneH()) - 1);
            header->setVisible(l->getIsVisible());
            myHeaders.push_back(header);
        }
    }

    Document& myDoc;
    pTimeline* myPane;
    pTopLeft* myTopLeft;
    pTicks* myTicks;
    pHead* myHead;
    pGv* myGv;
    pBotLeft* myBotLeft;
    pCtrls* myCtrls;
    std::vector<pHeader*> myHeaders;
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
        Window window(d);
        window.show();
        window.place();
        rc = app.exec();
    }
    return rc;
}
