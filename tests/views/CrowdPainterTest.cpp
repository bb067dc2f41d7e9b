#include "CrowdPainter.h"
#include "ItemsDoc.h"
#include "mRowIndex.h"
#include "pGv.h"

#include <QImage>
#include <QScopedValueRollback>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <set>

namespace {

// The pixel ratios people set: whole, a quarter, a fifth or a third above one, and 1.75; ratios at
// which a unit's pixels are not whole, or Qt keeps the ratio rounded.
constexpr double Ratios[] = {1.0, 1.2, 1.25, 4.0 / 3, 1.5, 1.75, 2.0, 3.0};

// The share of pixels that differ by more than a few levels in some channel (both pictures of one
// size and format, the view's).
double differing(QImage const& a, QImage const& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        auto const* p = reinterpret_cast<QRgb const*>(a.constScanLine(y));
        auto const* q = reinterpret_cast<QRgb const*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            count += p[x] != q[x] && (std::abs(qRed(p[x]) - qRed(q[x])) > 8 ||
                                      std::abs(qGreen(p[x]) - qGreen(q[x])) > 8 ||
                                      std::abs(qBlue(p[x]) - qBlue(q[x])) > 8);
    }
    return double(count) / (a.width() * a.height());
}

// Three layers of spans of every width (and, when asked, instants), placed as the program places
// them, a few selected, some with colours of their own, in a view 1,000 by 600; varied, with
// titles of several lengths and many short spans among them.
struct Crowd : ItemsDoc
{
    int width = 1000, height = 600;
    std::unique_ptr<pGv> view = std::make_unique<pGv>(nullptr, &doc.cmp);
    // Whether the syncs leave crowded rows to their layers, as the view was last shown; as it was
    // before, after the test.
    QScopedValueRollback<bool> way {mEdb::ourCrowdedRows};

    Crowd()
    {
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setScene(&scene);
        sized(width, height);
    }
    void sized(int w, int h)
    {
        width = w, height = h;
        view->resize(w, h);
        view->setSceneRect(0, 0, w, h);
        scale.setParentSize(w);
        perp.setParentSize(h);
    }
    void fill(bool instants, bool varied = false)
    {
        std::mt19937 random(5);
        std::uniform_real_distribution<double> unit(0, 1);
        std::vector<Obh> layers {l, timeline.newLayer(), timeline.newLayer()};
        for (int j = 0; j < 3; ++j)
            tlObj::ourType_mLayer->ptr(layers[j])->setBgColorR(40 + 80 * j);
        char const* titles[] = {"", "E", "Event", "A far longer title than fits"};
        for (int i = 0; i < 3000; ++i) {
            Obh h = tlObj::ourType_mEvent->make();
            bool const instant = instants && unit(random) < 0.1;
            ev(h)->setIsImpulse(instant);
            double const longest = !varied ? 5 : i % 2 ? 4.5 : 1.5;
            ev(h)->setTimeLength(instant ? 0 : std::exp(unit(random) * longest));
            ev(h)->setTitle(varied ? titles[i % 4] : "Event");
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

    // Row 0 of layer l full: 600 spans one after another over [0, 1000] s, most of a quarter to
    // two seconds, one in fifty of ten to twenty (wide enough for a title), a few selected. A
    // view of a few hundred seconds shows too many of them to tell apart.
    void fillRow()
    {
        std::mt19937 random(11);
        std::uniform_real_distribution<double> unit(0, 1);
        double at = 0;
        for (int i = 0; i < 600; ++i) {
            Obh h = tlObj::ourType_mEvent->make();
            double const length =
                i % 50 ? 0.25 * std::exp(unit(random) * std::log(8.0)) : 10 + unit(random) * 10;
            ev(h)->setTimeLength(length);
            ev(h)->setTitle("Event");
            ev(h)->setStartTime(at);
            timeline.addEvent(h, at, 0, l, true);
            if (i % 7 == 0)
                doc.selection.addToSelection(h);
            at += length + std::round(unit(random) * 4) / 8;
        }
    }
    // The first row of the view over a row of l rowPixels tall, its top, middle or bottom in view
    // (at 0, 0.5 or 1).
    double firstRow(double rowPixels, double where)
    {
        double r = 0, size = 0;
        tlObj::ourType_mLayer->ptr(l)->modelRowSpan(0, 1, r, size);
        double const rows = height / rowPixels;
        return r - rows / 4 + where * (size - rows / 2);
    }
    // The view over [from, to] s, rows of the given height from the given one, showing crowded
    // rows or an item per event.
    void show(double from, double to, double rowPixels, bool crowded, double first = 0)
    {
        mEdb::ourCrowdedRows = crowded;
        // Items made afresh, in the order the sync makes them: which of two overlapping ones
        // lies on top depends on nothing else.
        scale.zoomToLocalRange(1e9, 1e9 + 1, 1.0f);
        timeline.getEdb()->syncEventsToView(&timeline, &scene);
        scale.zoomToLocalRange(from, to, 1.0f);
        perp.zoomToLocalRange(first, first + height / rowPixels, 1.0f);
        timeline.restackLayers();
        timeline.getEdb()->syncEventsToView(&timeline, &scene);
        view->show();
    }
    // What the view shows, drawn onto a device of the given pixel ratio.
    QImage shot(double ratio = 1)
    {
        QImage shot(QSize(width, height) * ratio, QImage::Format_ARGB32_Premultiplied);
        shot.setDevicePixelRatio(ratio);
        shot.fill(Qt::transparent);
        view->QWidget::render(&shot);
        return shot;
    }
    QImage picture(double from, double to, double rowPixels, bool crowded, double ratio = 1)
    {
        show(from, to, rowPixels, crowded);
        return shot(ratio);
    }
    // At zooms where rows are crowded, of every row height from 1 to 12 pixels in steps of
    // rowStep, on devices of every ratio of Ratios (or, alternating, two heights on one half of
    // them, the next two on the other), the pictures with and without crowded rows differ in at
    // most that share of their pixels. The view is made small and each arrangement of items is
    // drawn at every ratio: the items take long to draw.
    void compare(double share, double rowStep, bool alternating = false)
    {
        sized(400, 240);
        struct Zoom
        {
            double from, to;
        };
        Zoom const zooms[] = {{0, 700}, {-100, 600}, {300, 1000}};
        int step = 0;
        for (double rowPixels = 1; rowPixels <= 12; rowPixels += rowStep, ++step) {
            Zoom const z = zooms[step % 3];
            std::vector<double> ratios;
            for (std::size_t i = 0; i < std::size(Ratios); ++i)
                if (!alternating || int(i % 2) == step / 2 % 2)
                    ratios.push_back(Ratios[i]);
            std::vector<QImage> items;
            show(z.from, z.to, rowPixels, false);
            for (double ratio : ratios)
                items.push_back(shot(ratio));
            qsizetype const withItems = scene.items().size();
            show(z.from, z.to, rowPixels, true);
            ASSERT_GT(crowdedRows(), 0) << "rows of " << rowPixels << " are crowded";
            ASSERT_LT(scene.items().size(), withItems) << "their events have no items";
            for (std::size_t i = 0; i < ratios.size(); ++i)
                EXPECT_LT(differing(shot(ratios[i]), items[i]), share)
                    << "zoom " << z.from << " to " << z.to << ", rows of " << rowPixels
                    << ", pixel ratio " << ratios[i];
            if (rowPixels == 6) {
                show(1e6, 1e6 + 1, rowPixels, false);
                for (std::size_t i = 0; i < ratios.size(); ++i)
                    EXPECT_GT(differing(items[i], shot(ratios[i])), 0.01)
                        << "events are drawn at " << ratios[i];
                // The items draw on the device's pixels, not a picture of the view enlarged.
                QImage const plain = picture(z.from, z.to, rowPixels, false);
                for (std::size_t i = 0; i < ratios.size(); ++i) {
                    if (ratios[i] == 1)
                        continue;
                    EXPECT_GT(differing(items[i], plain.scaled(items[i].size())), 0.01)
                        << "at " << ratios[i];
                }
            }
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
// selection outlined, titles (or what shows of them) where there is room for them, at the place
// of its item, on a device of any pixel ratio: the same pixels but for a few that the rounding of
// the two ways may set a level apart.
TEST_F(Crowd, CrowdedRowsShowThePictureTheItemsShowed)
{
    fill(false, true);
    compare(0.0002, 0.25);
}

// With instants, whose markers overlap their neighbours, which of two overlapping events shows on
// top may differ (of several instants at one pixel only the latest is drawn): a few pixels. Rows
// in half pixels, each at half the ratios: the spans' pictures are checked in full above, and the
// sweep takes long under the sanitizers.
TEST_F(Crowd, CrowdedRowsWithInstantsShowNearlyThePictureTheItemsShowed)
{
    fill(true, true);
    compare(0.002, 0.5, true);
}

// A crowded row taller than the view is drawn where it shows as its items draw it there: its top,
// its middle and its bottom, at every ratio.
TEST_F(Crowd, ATallCrowdedRowShowsThePictureTheItemsShowed)
{
    fillRow();
    sized(400, 240);
    for (double rowPixels : {300.0, 5000.0})
        for (double where : {0.0, 0.5, 1.0}) {
            double const first = firstRow(rowPixels, where);
            std::vector<QImage> items;
            show(0, 300, rowPixels, false, first);
            for (double ratio : Ratios)
                items.push_back(shot(ratio));
            show(0, 300, rowPixels, true, first);
            ASSERT_EQ(crowdedRows(), 1) << "rows of " << rowPixels;
            for (std::size_t i = 0; i < std::size(Ratios); ++i)
                EXPECT_LT(differing(shot(Ratios[i]), items[i]), 0.0002)
                    << "rows of " << rowPixels << ", at " << where << " in view, pixel ratio "
                    << Ratios[i];
        }
}

// What the paint of a crowded row 100,000 pixels tall keeps is about what the view shows of it, not
// pictures of the whole row.
TEST_F(Crowd, ATallCrowdedRowKeepsPicturesOfThePartInView)
{
    fillRow();
    sized(400, 240);
    show(0, 300, 100000, true, firstRow(100000, 0.5));
    ASSERT_EQ(crowdedRows(), 1);
    double const before = double(CrowdPainter::keptBytes());
    QImage const shown = shot(2);
    // The view's pixels a few times over: the band, its copy, the looks of the events there.
    double const view = shown.sizeInBytes();
    EXPECT_LT(double(CrowdPainter::keptBytes()) - before, 4 * view);
}

// On a device of two pixels a unit, each device column of a crowded row shows the event a press
// on its unit column reaches.
TEST_F(Crowd, OnADeviceOfTwoPixelsAUnitAColumnShowsTheEventAPressThereReaches)
{
    fill(true);
    picture(0, 1000, 2.5, true, 2);
    mRowIndex::Row::Scaled const device {2, 0};
    int rows = 0;
    for (Obh lh : timeline.getLayerHdls())
        for (auto& [key, row] : tlObj::ourType_mLayer->ptr(lh)->rowIndex().rows()) {
            if (!row.crowded)
                continue;
            ++rows;
            std::vector<mRowIndex::Row::Run> units, devices;
            row.spanRuns(scale, 0, 1000, units);
            row.spanRuns(scale, 0, 2000, devices, &device);
            std::vector<mRowIndex::Entry const*> atUnit(1000, nullptr), atDevice(2000, nullptr);
            for (auto const& run : units)
                std::fill(atUnit.begin() + run.from, atUnit.begin() + run.to, run.entry);
            for (auto const& run : devices) {
                std::fill(atDevice.begin() + run.from, atDevice.begin() + run.to, run.entry);
                EXPECT_EQ(run.first, std::floor(run.first)) << "the item's own columns";
            }
            for (int c = 0; c < 2000; ++c)
                ASSERT_EQ(atDevice[std::size_t(c)], atUnit[std::size_t(c / 2)]) << "column " << c;
        }
    EXPECT_GT(rows, 10);
}

// A press on an event of a crowded row reaches the event as a press on its item would: it
// selects it, and would drag it (never stretch it: its ends are too small to aim at); the event
// keeps the item the press gave it while it is held. A press beside every event clears the
// selection.
TEST_F(Crowd, APressOnACrowdedRowsEventSelectsIt)
{
    fill(false);
    picture(0, 1000, 2.5, true);
    // An event of a crowded row wide enough to aim at, and a point between events.
    Obh target;
    QPoint at, gap;
    for (Obh lh : timeline.getLayerHdls()) {
        mLayer* layer = tlObj::ourType_mLayer->ptr(lh);
        for (auto& [key, row] : layer->rowIndex().rows()) {
            if (!row.crowded || target.isValid())
                continue;
            std::vector<mRowIndex::Row::Run> runs;
            row.spanRuns(scale, 0, 1000, runs);
            double y = 0, h = 0;
            layer->sceneRowSpan(key.row, key.size, y, h);
            for (std::size_t i = 0; i + 1 < runs.size(); ++i)
                if (runs[i].to - runs[i].from >= 3 && runs[i + 1].from > runs[i].to + 1) {
                    target = runs[i].entry->ev->filedHdl();
                    at = QPoint(runs[i].from + 1, int(y + h / 2));
                    gap = QPoint(runs[i].to, int(y + h / 2));
                    break;
                }
        }
    }
    ASSERT_TRUE(target.isValid());
    ASSERT_EQ(ev(target)->giGet(), nullptr) << "crowded: no item of its own";
    doc.selection.clearSelection();
    mouseAt(*view->viewport(), QEvent::MouseButtonPress, at);
    ASSERT_NE(item(target), nullptr);
    EXPECT_EQ(item(target)->myStretchEdge, 0) << "too small to aim at an end: a press drags";
    mouseAt(*view->viewport(), QEvent::MouseButtonRelease, at);
    EXPECT_TRUE(selected(target));
    EXPECT_EQ(doc.selection.getSelection().size(), 1u);
    timeline.getEdb()->syncEventsToView(&timeline, &scene);
    EXPECT_NE(ev(target)->giGet(), nullptr) << "held, the item stays";

    mouseAt(*view->viewport(), QEvent::MouseButtonPress, gap);
    mouseAt(*view->viewport(), QEvent::MouseButtonRelease, gap);
    EXPECT_TRUE(doc.selection.getSelection().empty());
}

// A rubber band over crowded rows selects, when let go, every event drawn in it, as it selects
// items: those with a pixel in the band.
TEST_F(Crowd, ARubberBandSelectsTheCrowdedEventsDrawnInIt)
{
    fill(true);
    picture(0, 1000, 2.5, true);
    doc.selection.clearSelection();
    // From a point beside every event to one 300 pixels right and 40 down.
    QPoint from(-1, -1);
    for (int y = 60; y < 70 && from.x() < 0; ++y)
        for (int x = 100; x < 400 && from.x() < 0; ++x)
            if (!timeline.getEdb()->crowdedEventAt(x, y).isValid() &&
                dynamic_cast<giLayer*>(static_cast<uiGi*>(view->itemAt(x, y))))
                from = QPoint(x, y);
    ASSERT_GE(from.x(), 0);
    QPoint const to = from + QPoint(300, 40);
    mouseAt(*view->viewport(), QEvent::MouseButtonPress, from);
    mouseAt(*view->viewport(), QEvent::MouseMove, from + QPoint(20, 5));
    mouseAt(*view->viewport(), QEvent::MouseMove, to);
    mouseAt(*view->viewport(), QEvent::MouseButtonRelease, to);
    // Every event with a pixel drawn in the band: the picture of each alone tells.
    std::set<Obh> wanted;
    QRect const band = QRect(from, to).normalized();
    for (Obh lh : timeline.getLayerHdls())
        for (Obh h : tlObj::ourType_mLayer->ptr(lh)->getEvents()) {
            double x = 0, y = 0, w = 0, hgt = 0;
            ev(h)->itemPlacement(x, y, w, hgt);
            // An instant's item stands on the whole unit left of the middle of its columns.
            if (ev(h)->getIsImpulse())
                x = std::floor(x + w / 2) - tlObj::ImpulseHalfWidth,
                w = 2 * tlObj::ImpulseHalfWidth;
            // Drawn as its item would be: at the pixel nearest its corner.
            y = std::round(y + tlObj::ourType_mLayer->ptr(lh)->getSceneY());
            if (QRectF(x, y, w, int(hgt)).intersects(band) && int(hgt) > 0)
                wanted.insert(h);
        }
    ASSERT_GT(wanted.size(), 50u);
    std::set<Obh> got;
    for (Obh h : doc.selection.getSelection())
        if (h.getType() == tlObj::ourType_mEvent)
            got.insert(h);
    EXPECT_EQ(got.size(), wanted.size());
    EXPECT_TRUE(got == wanted);
}

// A press and a rubber band reach a crowded instant wherever its marker is drawn, its item's box
// (the whole unit left of the middle of its columns on), also where its time falls half way
// between two pixels: no further, and not a pixel off.
TEST_F(Crowd, PressesAndBandsReachACrowdedInstantAtItsItemsBox)
{
    std::vector<Obh> instants;
    for (int k = 0; k < 20; ++k) {
        Obh h = tlObj::ourType_mEvent->make();
        ev(h)->setIsImpulse(true);
        ev(h)->setLayerHdl(l);
        double const at = 20.5 + 40 * k + (k % 2 ? 0.25 : 0);
        ev(h)->setStartTime(at);
        timeline.addEvent(h, at);
        instants.push_back(h);
    }
    picture(0, 1000, 2.5, true);
    for (Obh h : instants) {
        double x = 0, y = 0, w = 0, hgt = 0;
        ev(h)->itemPlacement(x, y, w, hgt);
        ASSERT_EQ(ev(h)->giGet(), nullptr) << "crowded: no item of its own";
        double const left = std::floor(x + w / 2) - tlObj::ImpulseHalfWidth;
        double const right = left + 2 * tlObj::ImpulseHalfWidth - 1;
        double const middle = std::round(y + tlObj::ourType_mLayer->ptr(l)->getSceneY()) + 1;
        for (double at : {left, right}) {
            EXPECT_EQ(timeline.getEdb()->crowdedEventAt(at + 0.5, middle), h) << "at " << at;
            std::vector<Obh> band;
            timeline.getEdb()->crowdedEventsIn(at, middle, at + 1, middle + 1, band);
            EXPECT_EQ(band, std::vector<Obh> {h}) << "a band over " << at;
        }
        for (double beside : {left - 1, right + 1}) {
            EXPECT_FALSE(timeline.getEdb()->crowdedEventAt(beside + 0.5, middle).isValid())
                << "beside, at " << beside;
            std::vector<Obh> band;
            timeline.getEdb()->crowdedEventsIn(beside, middle, beside + 1, middle + 1, band);
            EXPECT_TRUE(band.empty()) << "a band beside, at " << beside;
        }
    }
}
