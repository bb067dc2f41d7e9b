#include "AppTest.h"
#include "ObClassTypeOf.h"
#include "ObQtApp.h"
#include "ObQtMbar.h"
#include "ObQtMenu.h"
#include "ObQtMitem.h"
#include "ObSelection.h"
#include "mEdb.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mTimeline.h"
#include "pGv.h"
#include "pHeader.h"
#include "pTimeline.h"
#include "tlCmp.h"
#include "tlScene.h"
#include "tlUi.h"
#include "uiButton.h"
#include "uiGi.h"
#include "uiToggle.h"
#include "wMain.h"

#include <QAction>
#include <QTest>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// A document window of three layers of events, with rows that a fitted view crowds.
struct DrawnOnce : AppTest
{
    DrawnOnce()
    {
        app.newDoc();
        window = dynamic_cast<wMain*>(doc()->getWindow());
        tl = doc()->getTimeline();
        std::mt19937 random(3);
        std::uniform_real_distribution<double> unit(0, 1);
        for (int j = 0; j < 3; ++j)
            layers.push_back(tl->newLayer());
        for (int i = 0; i < 4500; ++i) {
            Obh h = tlObj::ourType_mEvent->make();
            mEvent* ev = tlObj::ourType_mEvent->ptr(h);
            bool const instant = unit(random) < 0.1;
            ev->setIsImpulse(instant);
            ev->setTimeLength(instant ? 0 : 3600 * std::exp(unit(random) * 3));
            ev->setLayerHdl(layers[std::size_t(i % 3)]);
            double const start = Start + unit(random) * 90 * 86400;
            ev->setStartTime(start);
            tl->addEvent(h, start);
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->panel()->layoutTimer()->isActive(); }));
        view = window->findChild<pGv*>();
        settle();
    }

    // The refresh pass, then a paint of the view.
    void settle()
    {
        pass();
        view->viewport()->repaint();
    }
    // The menu entry's command, run as the menu runs it.
    void run(char const* menuTitle, char const* text)
    {
        for (QAction* m : ObQtApp::ourMenuBar->actions())
            if (auto* menu = qobject_cast<ObQtMenu*>(m->menu()); menu && m->text() == menuTitle)
                for (ObQtMitem* item : menu->myMitems)
                    if (item->getQAction()->text() == text) {
                        item->getQAction()->trigger();
                        return;
                    }
        ADD_FAILURE() << "no entry " << text << " in " << menuTitle;
    }
    pHeader* header(Obh layer) const
    {
        for (pHeader* h : window->findChildren<pHeader*>())
            if (h->getLayerHdl() == layer)
                return h;
        return nullptr;
    }
    void selectSome()
    {
        std::list<Obh> chosen {layers.front()};
        std::size_t n = 0;
        for (Obh h : tl->getEdb()->getEvents())
            if (n++ % 40 == 0)
                chosen.push_back(h);
        doc()->getSelectionEngine()->setSelection(chosen);
        pass();
    }
    // The events in view that are drawn by no drawer or by two: an item in the scene and the
    // crowded drawing of their row. Rows under a pixel show nothing, as an item without height
    // does.
    std::vector<std::string> misdrawn(int& crowdedShown, int& itemsShown)
    {
        std::vector<std::string> wrong;
        tlScene* scene = doc()->getCmp()->getUi()->getScene();
        mScale const* ts = tl->timeScale();
        mScale const* perp = tl->perpScale();
        double const pStart = perp->getMinVisValue(),
                     pLength = perp->getMaxVisValue() - perp->getMinVisValue();
        for (Obh const& lh : tl->getLayerHdls()) {
            mLayer* layer = tlObj::layerOf(lh);
            if (!layer || tl->layerHiddenTest(*layer))
                continue;
            for (auto& [key, row] : layer->rowIndex().rows()) {
                double r = 0, size = 0, y = 0, h = 0;
                layer->modelRowSpan(key.row, key.size, r, size);
                layer->sceneRowSpan(key.row, key.size, y, h);
                if (!tlObj::dimIntersects(pStart, pLength, r, size) || int(h) <= 0)
                    continue;
                for (auto const* entries : {&row.spans(), &row.instants()})
                    for (mRowIndex::Entry const& e : *entries) {
                        double from = ts->getMinVisValue(), to = ts->getMaxVisValue();
                        if (!e.ev->isVisibleBetween(from, to))
                            continue;
                        uiGi* item = e.ev->giGet();
                        bool const drawn = item && item->scene() == scene && item->isVisible();
                        crowdedShown += row.crowded;
                        itemsShown += drawn;
                        if (drawn == row.crowded)
                            wrong.push_back(std::string(drawn ? "twice: " : "not at all: ") +
                                            layer->getTitle().cs() + " row " +
                                            std::to_string(key.row) + " at " +
                                            std::to_string(e.lo - Start));
                    }
            }
        }
        return wrong;
    }
    // Runs each step in turn and checks the window after it.
    void check(char const* viewName, std::function<void()> const& view,
               std::vector<std::pair<char const*, std::function<void()>>> const& steps)
    {
        for (auto const& [what, step] : steps) {
            SCOPED_TRACE(std::string(viewName) + ", " + what);
            view();
            settle();
            step();
            settle();
            int crowded = 0, items = 0;
            std::vector<std::string> const wrong = misdrawn(crowded, items);
            EXPECT_TRUE(wrong.empty()) << wrong.size() << " events, the first " << wrong.front();
            EXPECT_GT(crowded + items, 0) << "events are in view";
        }
    }

    static constexpr double Start = 1.7e9;
    wMain* window = nullptr;
    pGv* view = nullptr;
    mTimeline* tl = nullptr;
    std::vector<Obh> layers;
};

} // namespace

// After each command of the layer headers, of the Layers and Events menus and Delete Selected, in a
// fitted view whose rows are crowded and in a view of a few days, each event in view is drawn
// exactly once: by its item, or by the crowded drawing of its row. Each step starts from the view
// anew.
TEST_F(DrawnOnce, EveryEventInViewIsDrawnOnceAfterEachCommand)
{
    auto header = [this](auto member) {
        return [this, member] {
            for (Obh const& layer : layers)
                if (pHeader* h = this->header(layer))
                    (h->*member)->buttonPressed((h->*member));
        };
    };
    std::vector<std::pair<char const*, std::function<void()>>> const steps {
        {"the contract button, after a row was made at the top",
         [this, contract = header(&pHeader::myContractBtn)] {
             for (Obh const& layer : layers)
                 tlObj::layerOf(layer)->insertRowsAtIndex(0.0, 1.0);
             settle();
             contract();
         }},
        {"the expand button", header(&pHeader::myExpandBtn)},
        {"the hide toggle",
         [this] {
             if (pHeader* h = this->header(layers[1]))
                 h->myHideToggle->activate();
         }},
        {"New Layer", [this] { run("Layers", "New Layer"); }},
        {"Remove Empty Layers", [this] { run("Layers", "Remove Empty Layers"); }},
        {"New Row", [this] { selectSome(), run("Layers", "New Row"); }},
        {"Remove Empty Rows", [this] { selectSome(), run("Layers", "Remove Empty Rows"); }},
        {"Show Controls", [this] { run("Layers", "Show Controls"); }},
        {"Zero Spacing", [this] { selectSome(), run("Layers", "Zero Spacing"); }},
        {"Reset Spacing", [this] { selectSome(), run("Layers", "Reset Spacing"); }},
        {"Make Smaller", [this] { selectSome(), run("Layers", "Make Smaller"); }},
        {"Make Bigger", [this] { selectSome(), run("Layers", "Make Bigger"); }},
        {"New Event", [this] { run("Events", "New Event"); }},
        {"Color - Individually", [this] { selectSome(), run("Events", "Color - Individually"); }},
        {"Color - By Layer", [this] { selectSome(), run("Events", "Color - By Layer"); }},
        {"Delete Selected", [this] { selectSome(), run("Edit", "Delete Selected"); }},
    };
    auto fitted = [this] {
        run("Edit", "Select All");
        run("View", "Fit Selected");
        doc()->getSelectionEngine()->clearSelection();
    };
    auto days = [this] {
        tl->timeScale()->zoomToLocalRange(Start + 30 * 86400, Start + 33 * 86400, 1.0f);
        tl->perpScale()->zoomToLocalRange(0.0, 30.0, 1.0f);
    };
    fitted();
    settle();
    int crowded = 0, items = 0;
    misdrawn(crowded, items);
    ASSERT_GT(crowded, 0) << "the fitted view has crowded rows";
    check("fitted", fitted, steps);
    check("a few days", days, steps);
}
