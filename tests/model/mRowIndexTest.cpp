#include "mRowIndex.h"
#include "ModelFixture.h"
#include "aTs.h"
#include "mEdb.h"

#include <algorithm>
#include <iterator>
#include <list>
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
    // Every row of an index as it is walked: its entries in order, and what its runs and
    // markers show over the view.
    using Shown = std::tuple<double, double, mEvent*, std::uint32_t, int, int, double, double>;
    std::map<std::pair<double, double>, std::vector<Shown>> walked(mRowIndex& index)
    {
        std::map<std::pair<double, double>, std::vector<Shown>> rows;
        for (auto& [key, row] : index.rows()) {
            std::vector<Shown>& out = rows[{key.row, key.size}];
            for (auto const* list : {&row.spans(), &row.instants()})
                for (mRowIndex::Entry const& e : *list) {
                    out.emplace_back(e.lo, e.hi, e.ev, e.slot, 0, 0, 0.0, 0.0);
                    EXPECT_TRUE(index.look(e.look) == e.ev->lookInputs());
                }
            std::vector<mRowIndex::Row::Run> runs;
            row.spanRuns(ts, 0, 1000, runs);
            for (mRowIndex::Row::Run const& r : runs)
                out.emplace_back(0.0, 0.0, r.entry->ev, 0u, r.from, r.to, r.first, r.width);
            std::vector<mRowIndex::Row::Marker> markers;
            row.instantsShown(ts, 0, 1000, markers);
            for (mRowIndex::Row::Marker const& m : markers)
                out.emplace_back(0.0, 0.0, m.entry->ev, 0u, -1, -1, m.left, 0.0);
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

// Moving the entries of many events at once into another index leaves here what taking them out
// one by one leaves, and there what filing them one by one in order of start makes: each row's in
// the row it is moved to, in order, with its look; rows emptied and rows two high among them.
TEST_F(RowIndex, MovingManyEntriesOutAtOnceIsMovingThemOneByOne)
{
    fill(800, 5);
    std::vector<Obh> const events(layer(l)->getEvents().begin(), layer(l)->getEvents().end());
    for (std::size_t i = 0; i < events.size(); i += 9)
        ev(events[i])->setRowSize(2);
    index().rows();
    mRowIndex left, into, filed;
    left.build(layer(l)->timeIndex());
    into.build(mTimeIndex());
    filed.build(mTimeIndex());
    auto const to = [](mRowIndex::Key const& k) { return k.row * 3 + k.size; };
    std::vector<bool> marked;
    for (Obh h : events) {
        mEvent* e = ev(h);
        if (h.getAddr() % 3 != 0 && !(e->getRowIndex() == 1 && e->getRowSize() == 1))
            continue;
        marked.resize(std::max<std::size_t>(marked.size(), h.getAddr() + 1));
        marked[h.getAddr()] = true;
        left.erase(e, e->filed());
    }
    layer(l)->timeIndex().forEach([&](mEvent* e) {
        std::uint32_t const slot = e->filedHdl().getAddr();
        if (slot >= marked.size() || !marked[slot])
            return;
        mTimeIndex::Extent x = e->indexExtent();
        x.row = to({x.row, x.rows});
        x.rows = 1;
        filed.insert(e, slot, x);
    });
    index().moveMarked(marked, &into, to);
    EXPECT_EQ(walked(index()), walked(left));
    EXPECT_EQ(walked(into), walked(filed));
    EXPECT_FALSE(walked(into).empty());
    EXPECT_EQ(walked(index()).count({1.0, 1.0}), 0u) << "a row emptied goes";
    // Nowhere: taken out alone.
    std::vector<bool> all;
    for (Obh h : events)
        all.resize(std::max<std::size_t>(all.size(), h.getAddr() + 1), true);
    index().moveMarked(all, nullptr, to);
    EXPECT_TRUE(walked(index()).empty());
}

// Many events taken out of their layers at once, and put back at once: the layer's set, time
// index and row index (built, or not built and left so) and the timeline's register hold what
// they held, event for event and in order, and what the row indexes held went where it was told.
TEST_F(RowIndex, ManyEventsLeaveTheirLayersAndComeBackAtOnce)
{
    fill(600, 13);
    Obh const other = tl.newLayer();
    for (int i = 0; i < 150; ++i)
        at(i * 7.5, i % 4 == 0 ? 0 : 20 + i % 13, i % 3, other, i % 4 == 0);
    std::vector<Obh> const events(layer(l)->getEvents().begin(), layer(l)->getEvents().end());
    for (std::size_t i = 0; i < events.size(); i += 11)
        ev(events[i])->setRowSize(2);
    index().rows();
    auto order = [&](Obh in) {
        std::vector<std::pair<mEvent*, double>> out;
        layer(in)->timeIndex().forEach([&](mEvent* e) { out.emplace_back(e, e->getStartTime()); });
        return out;
    };
    auto state = [&] {
        std::vector<Obh> const own(layer(l)->getEvents().begin(), layer(l)->getEvents().end()),
            others(layer(other)->getEvents().begin(), layer(other)->getEvents().end()),
            registered(tl.getEdb()->getEvents().begin(), tl.getEdb()->getEvents().end());
        double t0 = 0, t1 = 0, r0 = 0, r1 = 0;
        layer(l)->getSpans(t0, t1, r0, r1, false);
        return std::make_tuple(own, others, registered, order(l), order(other), walked(index()),
                               std::vector<double> {t0, t1, r0, r1});
    };
    auto const before = state();
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "some of each layer" : "every event of both");
        std::vector<Obh> mine, theirs, all;
        for (Obh in : {l, other})
            for (Obh h : layer(in)->getEvents())
                if (pass == 1 || h.getAddr() % 2 == 0)
                    (in == l ? mine : theirs).push_back(h);
        std::merge(mine.begin(), mine.end(), theirs.begin(), theirs.end(), std::back_inserter(all));
        std::vector<bool> marked;
        for (Obh h : all) {
            marked.resize(std::max<std::size_t>(marked.size(), h.getAddr() + 1));
            marked[h.getAddr()] = true;
        }
        mRowIndex keep;
        keep.build(mTimeIndex());
        mTimeline::EventsByLayer byLayer {{layer(l), mine}, {layer(other), theirs}};
        tl.takeOutEvents(byLayer, all, marked, &keep, [&](mLayer const& in, double row) {
            return (&in == layer(l)) * 10 + row;
        });
        std::set<std::uint32_t> mineSlots;
        for (Obh h : mine)
            mineSlots.insert(h.getAddr());
        std::size_t kept = 0;
        for (auto& [key, row] : keep.rows())
            for (auto const* list : {&row.spans(), &row.instants()})
                for (mRowIndex::Entry const& e : *list) {
                    ++kept;
                    double const shift = mineSlots.count(e.slot) ? 10 : 0;
                    EXPECT_EQ(key.row, e.ev->getRowIndex() + shift);
                    EXPECT_EQ(key.size, 1);
                }
        EXPECT_EQ(kept, all.size()) << "the built index's and the other's, all kept";
        for (Obh h : all) {
            EXPECT_FALSE(ev(h)->filedIn());
            EXPECT_FALSE(ev(h)->getLayerHdl().isValid());
            EXPECT_FALSE(tl.getEdb()->isRegistered(h));
        }
        EXPECT_EQ(layer(l)->getEvents().size() + layer(other)->getEvents().size() + all.size(),
                  std::get<2>(before).size());
        EXPECT_EQ(held(), expected());
        EXPECT_EQ(layer(l)->timeIndex().size(), layer(l)->getEvents().size());
        std::list<Obh> found, walkedAll;
        double from = 200, to = 300;
        for (Obh h : tl.getEdb()->getEvents())
            if (ev(h)->isVisibleBetween(from, to))
                walkedAll.push_back(h);
        tl.getEdb()->findAllEventsIncludingAndBetween(aTs(200.0), aTs(300.0), found);
        EXPECT_EQ(found, walkedAll) << "the time indexes still find what they hold";

        for (Obh h : mine)
            ev(h)->setLayerHdl(l);
        for (Obh h : theirs)
            ev(h)->setLayerHdl(other);
        EXPECT_TRUE(tl.addEvents(all).empty());
        EXPECT_EQ(state(), before);
    }
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
