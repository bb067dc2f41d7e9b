#include "mRowIndex.h"
#include "ModelFixture.h"

#include <map>
#include <random>
#include <set>
#include <tuple>

namespace {

struct RowIndex : ModelFixture
{
    Obh l = tl.newLayer();

    mRowIndex& index() { return layer(l)->rowIndex(); }

    // Events of every kind over [0, 1000] s in rows 0 to 3: short and long spans, overlapping
    // and touching ones, instants.
    void fill(int count, unsigned seed)
    {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> start(-50, 1050), unit(0, 1);
        for (int i = 0; i < count; ++i) {
            double const length = unit(random) < 0.1 ? 0.0 : std::exp(unit(random) * 6) - 0.9;
            at(std::round(start(random) * 8) / 8, length, int(unit(random) * 4), l, length == 0);
        }
    }

    // Where each event's item stands in its layer's item: its columns [first, first + width).
    static std::pair<double, double> itemColumns(mEvent const& e)
    {
        double x = 0, y = 0, w = 0, h = 0;
        e.itemPlacement(x, y, w, h);
        return {x, std::max(1.0, std::round(w))};
    }

    // What the index should hold: per row, the events filed there with their extents.
    std::map<std::pair<double, double>, std::set<std::tuple<double, double, bool, mEvent*>>>
    expected() const
    {
        std::map<std::pair<double, double>, std::set<std::tuple<double, double, bool, mEvent*>>>
            rows;
        for (Obh h : layer(l)->getEvents()) {
            mEvent* e = ev(h);
            mTimeIndex::Extent const x = e->indexExtent();
            rows[{x.row, x.rows}].insert({x.lo, x.hi, x.instant, e});
        }
        return rows;
    }
    std::map<std::pair<double, double>, std::set<std::tuple<double, double, bool, mEvent*>>> held()
    {
        std::map<std::pair<double, double>, std::set<std::tuple<double, double, bool, mEvent*>>>
            rows;
        for (auto& [key, row] : index().rows()) {
            for (mRowIndex::Entry const& e : row.spans())
                rows[{key.row, key.size}].insert({e.lo, e.hi, false, e.ev});
            for (mRowIndex::Entry const& e : row.instants())
                rows[{key.row, key.size}].insert({e.lo, e.hi, true, e.ev});
            for (auto const* list : {&row.spans(), &row.instants()})
                for (mRowIndex::Entry const& e : *list) {
                    EXPECT_EQ(e.slot, e.ev->filedHdl().getAddr());
                    EXPECT_TRUE(index().look(e.look) == e.ev->lookInputs());
                }
        }
        return rows;
    }
};

} // namespace

// Each column of a row that some span's item covers is in one run, whose span covers it; no
// other column is. Checked against every span's own item at zooms from a tenth of a second to
// ten seconds a pixel, and in a window that cuts the row.
TEST_F(RowIndex, TheRunsShowEveryCoveredColumnByASpanThatCoversIt)
{
    fill(3000, 7);
    for (auto [from, to] :
         {std::pair {0.0, 1000.0}, {0.0, 10000.0}, {300.0, 400.0}, {-20.5, 80.25}}) {
        layOut(from, to);
        tl.restackLayers();
        for (auto& [key, row] : index().rows()) {
            std::map<int, std::set<mEvent*>> covering;
            for (mRowIndex::Entry const& e : row.spans()) {
                auto const [first, width] = itemColumns(*e.ev);
                for (double c = std::max(first, 0.0); c < std::min(first + width, 1000.0); ++c)
                    covering[int(c)].insert(e.ev);
            }
            std::vector<mRowIndex::Row::Run> runs;
            row.spanRuns(ts, 0, 1000, runs);
            std::set<int> shown;
            int last = 0;
            for (mRowIndex::Row::Run const& run : runs) {
                ASSERT_LT(run.from, run.to);
                ASSERT_GE(run.from, last) << "runs are left to right and apart";
                last = run.to;
                auto const [first, width] = itemColumns(*run.entry->ev);
                EXPECT_EQ(run.first, first);
                EXPECT_EQ(run.width, width);
                for (int c = run.from; c < run.to; ++c) {
                    shown.insert(c);
                    EXPECT_EQ(covering[c].count(run.entry->ev), 1u)
                        << "row " << key.row << ", column " << c << ", window " << from;
                }
            }
            std::set<int> covered;
            for (auto const& [c, spans] : covering)
                covered.insert(c);
            EXPECT_EQ(shown, covered) << "row " << key.row << ", window " << from;
        }
    }
}

// Instants are shown where their items stand: a marker in every pixel that holds any.
TEST_F(RowIndex, InstantsShowAMarkerWhereTheirItemsStand)
{
    fill(2000, 11);
    layOut(100.0, 600.0);
    tl.restackLayers();
    auto boxLeft = [](mEvent const& e) {
        double x = 0, y = 0, w = 0, h = 0;
        e.itemPlacement(x, y, w, h);
        return x + std::max(1.0, std::round(w)) / 2 - tlObj::ImpulseHalfWidth;
    };
    for (auto& [key, row] : index().rows()) {
        std::vector<mRowIndex::Row::Marker> markers;
        row.instantsShown(ts, 0, 1000, markers);
        std::set<double> shown;
        for (mRowIndex::Row::Marker const& m : markers) {
            shown.insert(std::floor(ts.localToParent(m.entry->lo)));
            EXPECT_EQ(m.left, boxLeft(*m.entry->ev)) << "at " << m.entry->lo;
        }
        std::set<double> wanted;
        for (mRowIndex::Entry const& e : row.instants()) {
            double const left = boxLeft(*e.ev);
            if (left + 2 * tlObj::ImpulseHalfWidth > 0 && left < 1000)
                wanted.insert(std::floor(ts.localToParent(e.lo)));
        }
        EXPECT_EQ(shown, wanted) << "row " << key.row;
    }
}

// Whatever changes what an event was filed under (its time, length, kind, row, height or
// colours, its layer) moves it in the index, as do events added and deleted after it was built.
TEST_F(RowIndex, TheIndexFollowsEveryChangeOfTheEvents)
{
    fill(200, 3);
    ASSERT_EQ(held(), expected()) << "built from the layer's events";
    std::vector<Obh> events(layer(l)->getEvents().begin(), layer(l)->getEvents().end());
    ev(events[0])->setStartTime(2000);
    ev(events[1])->setTimeLength(500);
    ev(events[2])->setIsImpulse(!ev(events[2])->getIsImpulse());
    ev(events[3])->setRowIndex(9);
    ev(events[4])->setRowSize(2);
    ev(events[5])->setBgColorR(7);
    ev(events[6])->setColorStyle(EventColorIndividual);
    ev(events[7])->setLineColorA(40);
    tl.deleteEvent(events[8]);
    Obh other = tl.newLayer();
    tl.removeEvent(events[9]);
    tl.addEvent(events[9], 30, 0, other, true);
    at(123, 4, 2, l);
    EXPECT_EQ(held(), expected());
    // Taken out and filed again under the same start, with nothing read between.
    ev(events[10])->setTimeLength(ev(events[10])->getTimeLength());
    ev(events[10])->setTimeLength(3);
    EXPECT_EQ(held(), expected());
}

// The spans that reach a time from before a place in the row are found as a walk over every span
// before it finds them, whatever the row held before: after spans are added, shortened, deleted
// and filed in other rows, at places and times across the row.
TEST_F(RowIndex, TheSpansThatReachATimeAreFoundAsAWalkFindsThem)
{
    fill(3000, 17);
    std::mt19937 random(4);
    std::uniform_real_distribution<double> unit(0, 1);
    auto check = [&](char const* after) {
        for (auto& [key, row] : index().rows()) {
            auto const& spans = row.spans();
            for (int k = 0; k < 40; ++k) {
                std::size_t const before = std::size_t(unit(random) * double(spans.size() + 2));
                double const t = -100 + unit(random) * 1300;
                std::set<mEvent*> walked, found;
                for (std::size_t i = 0; i < std::min(before, spans.size()); ++i)
                    if (spans[i].hi >= t)
                        walked.insert(spans[i].ev);
                row.forEachReaching(before, t, [&](mRowIndex::Entry const& e) {
                    EXPECT_TRUE(found.insert(e.ev).second) << "found once";
                });
                ASSERT_EQ(found, walked) << after << ": row " << key.row << ", the first " << before
                                         << " of " << spans.size() << ", at " << t;
            }
        }
    };
    check("built");
    std::vector<Obh> events(layer(l)->getEvents().begin(), layer(l)->getEvents().end());
    // The longest spans go or shrink: what reached far reaches no more.
    std::sort(events.begin(), events.end(), [&](Obh const& a, Obh const& b) {
        return ev(a)->getTimeLength() > ev(b)->getTimeLength();
    });
    for (std::size_t i = 0; i < 20; ++i)
        tl.deleteEvent(events[i]);
    for (std::size_t i = 20; i < 40; ++i)
        ev(events[i])->setTimeLength(1);
    for (std::size_t i = 40; i < 60; ++i)
        ev(events[i])->setRowIndex(7);
    check("the longest deleted or shortened");
    at(-40, 1200, 1, l);
    at(500, 0.25, 1, l);
    check("a span over the whole row added");
}
