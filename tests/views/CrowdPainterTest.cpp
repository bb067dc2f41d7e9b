#include "ItemsDoc.h"
#include "mRowIndex.h"
#include "pGv.h"

#include <QImage>
#include <QScopedValueRollback>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>

namespace {

// The share of pixels that differ by more than a few levels in some channel.
double differing(QImage const& a, QImage const& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            QRgb const p = a.pixel(x, y), q = b.pixel(x, y);
            count += std::abs(qRed(p) - qRed(q)) > 8 || std::abs(qGreen(p) - qGreen(q)) > 8 ||
                     std::abs(qBlue(p) - qBlue(q)) > 8;
        }
    return double(count) / (a.width() * a.height());
}

// Three layers of spans of every width (and, when asked, instants), placed as the program places
// them, a few selected, some with colours of their own, in a view 1,000 by 600.
struct Crowd : ItemsDoc
{
    std::unique_ptr<pGv> view = std::make_unique<pGv>(nullptr, &doc.cmp);

    Crowd()
    {
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setScene(&scene);
        view->resize(1000, 600);
        view->setSceneRect(0, 0, 1000, 600);
    }
    void fill(bool instants)
    {
        std::mt19937 random(5);
        std::uniform_real_distribution<double> unit(0, 1);
        std::vector<Obh> layers {l, timeline.newLayer(), timeline.newLayer()};
        for (int j = 0; j < 3; ++j)
            tlObj::ourType_mLayer->ptr(layers[j])->setBgColorR(40 + 80 * j);
        for (int i = 0; i < 3000; ++i) {
            Obh h = tlObj::ourType_mEvent->make();
            bool const instant = instants && unit(random) < 0.1;
            ev(h)->setIsImpulse(instant);
            ev(h)->setTimeLength(instant ? 0 : std::exp(unit(random) * 5));
            ev(h)->setTitle("Event");
            if (i % 97 == 0) {
                ev(h)->setColorStyle(EventColorIndividual);
                ev(h)->setBgColorG(200);
            }
            ev(h)->setLayerHdl(layers[i % 3]);
            double const start = std::round(unit(random) * 8000) / 8;
            ev(h)->setStartTime(start);
            timeline.addEvent(h, start);
            if (i % 7 == 0)
                doc.selection.addToSelection(h);
        }
    }

    // The view over [from, to] s, rows of the given height, drawn with crowded rows or with an
    // item per event.
    QImage picture(double from, double to, double rowPixels, bool crowded)
    {
        QScopedValueRollback<bool> way(mEdb::ourCrowdedRows, crowded);
        // Items made afresh, in the order the sync makes them: which of two overlapping ones
        // lies on top depends on nothing else.
        scale.zoomToLocalRange(1e9, 1e9 + 1, 1.0f);
        timeline.getEdb()->syncEventsToView(&timeline, &scene);
        scale.zoomToLocalRange(from, to, 1.0f);
        perp.zoomToLocalRange(0.0, 600.0 / rowPixels, 1.0f);
        timeline.restackLayers();
        timeline.getEdb()->syncEventsToView(&timeline, &scene);
        view->show();
        return view->grab().toImage();
    }
    // At zooms where rows are crowded, the pictures with and without crowded rows differ in at
    // most that share of their pixels.
    void compare(double share)
    {
        struct Zoom
        {
            double from, to, rowPixels;
        };
        // Rows thinner than a marker's margins, or full past the budget of items.
        for (Zoom z :
             {Zoom {0, 1000, 2.5}, Zoom {0, 1000, 9}, Zoom {-100, 1100, 1}, Zoom {300, 600, 3}}) {
            QImage const items = picture(z.from, z.to, z.rowPixels, false);
            QImage const crowded = picture(z.from, z.to, z.rowPixels, true);
            ASSERT_GT(crowdedRows(), 0) << "the view at " << z.from << " has crowded rows";
            QImage const bare = picture(1e6, 1e6 + 1, z.rowPixels, false);
            EXPECT_GT(differing(items, bare), 0.01) << "events are drawn at " << z.from;
            EXPECT_LT(differing(crowded, items), share)
                << "zoom " << z.from << " to " << z.to << ", rows of " << z.rowPixels;
        }
    }
    int crowdedRows()
    {
        int n = 0;
        for (Obh h : timeline.getLayerHdls())
            for (auto& [key, row] : tlObj::ourType_mLayer->ptr(h)->rowIndex().rows())
                n += row.crowded;
        return n;
    }
};

} // namespace

// Crowded rows draw what the items drew: every event's pixels in its row, in its colours, the
// selection outlined, titles where there is room for them, at the place of its item: the same
// pixels but for a few that the rounding of the two ways may set a level apart.
TEST_F(Crowd, CrowdedRowsShowThePictureTheItemsShowed)
{
    fill(false);
    compare(0.0002);
}

// With instants, whose markers overlap their neighbours, which of two overlapping events shows on
// top may differ (of several instants at one pixel only the latest is drawn): a few pixels.
TEST_F(Crowd, CrowdedRowsWithInstantsShowNearlyThePictureTheItemsShowed)
{
    fill(true);
    compare(0.002);
}
