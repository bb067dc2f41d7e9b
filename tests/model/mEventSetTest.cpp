#include "ModelFixture.h"
#include "aTs.h"

#include <random>

namespace {

using EventSet = ModelFixture;

// What the event set must answer for [from, to]: every registered event that meets it, found by
// walking them all.
std::list<Obh> everyEventBetween(mEdb& edb, double from, double to)
{
    std::list<Obh> out;
    for (Obh const& h : edb.getEvents())
        if (tlObj::ourType_mEvent->ptr(const_cast<Obh&>(h))->isVisibleBetween(from, to))
            out.push_back(h);
    return out;
}

std::list<Obh> found(mEdb& edb, double from, double to)
{
    std::list<Obh> out;
    edb.findAllEventsIncludingAndBetween(aTs(from), aTs(to), out);
    return out;
}

} // namespace

TEST_F(EventSet, FindsWhatAWalkOverEveryEventFindsAsEventsChange)
{
    std::mt19937 rnd(7);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<>(lo, hi)(rnd);
    };
    Obh layers[2] = {tl.newLayer(), tl.newLayer()};
    std::vector<Obh> events;
    for (int i = 0; i < 400; ++i) {
        double const length = i % 7 == 0 ? 0.0 : std::exp(uniform(-3.0, 8.0));
        Obh h = event(uniform(-2000.0, 3000.0), length, i % 5 == 0);
        tl.addEvent(h, ev(h)->getStartTime(), uniform(0.0, 6.0), layers[i % 2], true);
        events.push_back(h);
    }
    auto agree = [&](char const* when) {
        for (int q = 0; q < 60; ++q) {
            double const a = uniform(-2500.0, 3500.0),
                         b = q % 6 == 0 ? a : a + uniform(-50.0, 900.0);
            ASSERT_EQ(found(*tl.getEdb(), a, b), everyEventBetween(*tl.getEdb(), a, b))
                << when << ": [" << a << ", " << b << "]";
        }
    };
    agree("as placed");
    // Times, lengths and kinds change through the setters, the stretch and the document reader.
    for (int i = 0; i < 400; i += 3) {
        mEvent* e = ev(events[i]);
        e->setStartTime(e->getStartTime() + uniform(-500.0, 500.0));
        e->setTimeLength(uniform(0.0, 2000.0));
        e->setIsImpulse(i % 2 == 0);
        e->setAttrByString("startTime", "1234.5", nullptr);
    }
    agree("after the changes");
    for (int i = 0; i < 400; i += 4)
        tl.deleteEvent(events[i]);
    for (int i = 1; i < 400; i += 8)
        tl.removeEvent(events[i]);
    agree("after deleting and removing");
    // An instant's marker is 15 pixels on each side: zooming out widens it in time.
    layOut(0.0, 100000.0);
    agree("zoomed out");
}

TEST_F(EventSet, TouchingEndsDoNotMeetAndAnInstantMeetsWithItsMarker)
{
    Obh l = tl.newLayer();
    Obh span = at(10, 10, 0, l);
    Obh instant = at(100, 0, 1, l, true);
    mEdb& edb = *tl.getEdb();
    EXPECT_EQ(found(edb, 20, 30), std::list<Obh> {}) << "ends where the window begins";
    EXPECT_EQ(found(edb, 19, 30), std::list<Obh> {span});
    EXPECT_EQ(found(edb, 0, 10), std::list<Obh> {}) << "begins where the window ends";
    EXPECT_EQ(found(edb, 30, 5), std::list<Obh> {}) << "to before the event's start";
    EXPECT_EQ(found(edb, 90, 95), std::list<Obh> {instant}) << "the marker reaches 85 to 115";
    EXPECT_EQ(found(edb, 116, 200), std::list<Obh> {});
    EXPECT_EQ(found(edb, 100, 100), std::list<Obh> {instant}) << "a point selection";
    EXPECT_TRUE(edb.anyEventBetween(12, 13));
    EXPECT_FALSE(edb.anyEventBetween(40, 60));
}

TEST_F(EventSet, RegistersOnceAndClearsWithOrWithoutTheEvents)
{
    Obh a = event(0, 1), b = event(5, 1);
    mEdb& edb = *tl.getEdb();
    edb.registerEvent(a);
    edb.registerEvent(a);
    EXPECT_EQ(edb.size(), 1u);
    edb.unregisterEvent(b);
    EXPECT_EQ(edb.size(), 1u);
    edb.registerEvent(b);
    edb.clear(false);
    EXPECT_EQ(edb.size(), 0u);
    EXPECT_NE(ev(a), nullptr) << "kept in its pool";
    edb.registerEvent(a);
    edb.clear(true);
    EXPECT_EQ(ev(a), nullptr) << "freed";
    EXPECT_NE(ev(b), nullptr);
}

TEST_F(EventSet, AnEventThatGoesLeavesItsLayer)
{
    Obh l = tl.newLayer();
    Obh h = at(10, 10, 0, l);
    tlObj::ourType_mEvent->ptr(h)->recycleObj(); // as a reset of the pool does
    EXPECT_EQ(layer(l)->getEvents().count(h), 0u);
    EXPECT_EQ(layer(l)->timeIndex().size(), 0u);
}
