#include "aRefresher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

std::string gRun;

// Records its runs; its action lets a test change the schedule from inside a pass.
struct Probe : aRefreshable
{
    std::string tag;
    std::function<void()> action;
    void refresh(aRefreshContext*) override
    {
        gRun += tag;
        if (action)
            action();
    }
};

aRefresher::Func refreshOf(aRefreshable* r) { return fastdelegate::MakeDelegate<aRefreshable>(r, &aRefreshable::refresh); }

void freeStep(aRefreshContext*) { gRun += "f"; }

std::string taken()
{
    std::string s;
    s.swap(gRun);
    return s;
}

// Probes a, b, c, ... at increasing addresses.
struct Probes
{
    explicit Probes(int n) : p(new Probe[n])
    {
        for (int i = 0; i < n; ++i)
            p[i].tag = std::string(1, char('a' + i));
    }
    Probe& operator[](int i) { return p[i]; }
    std::unique_ptr<Probe[]> p;
};

// Every test starts with an empty record of runs.
class aRefresherTest : public testing::Test
{
protected:
    void SetUp() override { gRun.clear(); }
};

} // namespace

TEST_F(aRefresherTest, PassRunsLevelsAscendingAndEachLevelInObjectOrder)
{
    aRefresher r(false);
    Probes p(3);
    r.schedule(p[2], 500, nullptr); // against address order
    r.schedule(p[0], 500, nullptr);
    r.schedule(p[1], 150, nullptr);
    r.schedule(p[1], 500, nullptr);
    r.schedule(p[1], 500, nullptr); // once per level only
    r.scheduleFunc(&freeStep, 0, nullptr);
    r.scheduleFunc(nullptr, 0, nullptr); // nothing to call: not scheduled
    int level = -2;
    bool inPass = false;
    p[0].action = [&] { inPass = r.isScheduledTest(level); };
    r.doRefreshIfNeeded(nullptr);
    EXPECT_EQ(taken(), "fbabc");
    EXPECT_TRUE(inPass);
    EXPECT_EQ(level, 500);
    EXPECT_FALSE(r.isScheduledTest());
    EXPECT_FALSE(r.myNeedsRefresh); // a pass neither needs nor lowers the request flag
    r.setNeedsRefresh(nullptr);
    r.doRefreshIfNeeded(nullptr);
    EXPECT_TRUE(r.myNeedsRefresh);
    EXPECT_EQ(taken(), "fbabc");
}

TEST_F(aRefresherTest, ScheduleChangesMadeDuringAPass)
{
    aRefresher r(false);
    Probes p(5);
    r.schedule(p[1], 200, nullptr);
    r.schedule(p[3], 200, nullptr);
    r.schedule(p[4], 200, nullptr);
    // b adds a to its level (before it: next pass) and c (after it: this pass), e at a new higher
    // level (this pass) and d at a lower one (next pass), and drops e's turn at 200.
    p[1].action = [&] {
        r.schedule(p[0], 200, nullptr);
        r.schedule(p[2], 200, nullptr);
        r.schedule(p[4], 700, nullptr);
        r.schedule(p[3], 150, nullptr);
        r.unschedule(refreshOf(&p[4]), 200);
        p[1].action = nullptr;
    };
    r.doRefreshIfNeeded(nullptr);
    EXPECT_EQ(taken(), "bcde");
    r.doRefreshIfNeeded(nullptr);
    EXPECT_EQ(taken(), "dabcde");

    // A callback that removes itself, and one whose refreshable dies in its own turn, leave the
    // walk intact.
    aRefresher r2(false);
    Probes q(3);
    auto dying = std::make_unique<Probe>();
    dying->tag = "X";
    r2.schedule(q[0], 10, nullptr);
    r2.schedule(q[2], 10, nullptr);
    r2.schedule(*dying, 10, nullptr);
    r2.schedule(q[1], 20, nullptr);
    q[0].action = [&] { r2.unschedule(refreshOf(&q[0])); };
    dying->action = [&] { dying.reset(); };
    r2.doRefreshIfNeeded(nullptr);
    EXPECT_EQ(taken().size(), 4u);
    r2.doRefreshIfNeeded(nullptr);
    EXPECT_EQ(taken(), "cb");
}

TEST_F(aRefresherTest, UnscheduleAndLifetimes)
{
    auto r = std::make_unique<aRefresher>(true);
    Probes p(2);
    EXPECT_FALSE(r->unschedule(refreshOf(&p[0]), 7));
    r->schedule(p[1], 7, nullptr);
    EXPECT_TRUE(r->unschedule(refreshOf(&p[0]), 7));
    r->schedule(p[0], 3, nullptr);
    r->unschedule(&p[0]);
    EXPECT_TRUE(p[0].myFuncsByTx.empty());
    EXPECT_EQ(r->myTxByLevel.count(3), 1u); // emptied levels stay until a pass finds them
    {
        Probe shortLived;
        r->schedule(shortLived, 7, nullptr);
    }
    r->doRefreshIfNeeded(nullptr);
    EXPECT_EQ(taken(), "b");
    EXPECT_EQ(r->myTxByLevel.size(), 1u);

    // The refresher goes first; the refreshable forgets it and dies later without harm.
    r.reset();
    EXPECT_TRUE(p[1].myFuncsByTx.empty());

    // A receiver stops recording a level once the level holds none of its callbacks (removed
    // by callback, or taken over by another receiver), so the level may go before it.
    auto r3 = std::make_unique<aRefresher>(false);
    Probe a, b;
    r3->schedule(a, 5, nullptr);
    r3->unschedule(refreshOf(&a));
    r3->schedule(&a, 6, refreshOf(&b), nullptr);
    r3->schedule(&b, 6, refreshOf(&b), nullptr);
    EXPECT_TRUE(a.myFuncsByTx.empty());
    r3->doRefreshIfNeeded(nullptr);
    r3.reset();
    EXPECT_TRUE(b.myFuncsByTx.empty());
}

TEST_F(aRefresherTest, AThrowingStepEndsItsPassButNeitherTheFlagNorLaterPasses)
{
    aRefresher r(false);
    Probes p(2);
    r.schedule(p[0], 1, nullptr);
    r.schedule(p[1], 2, nullptr);
    bool fail = true;
    p[0].action = [&] {
        if (fail)
            throw std::runtime_error("step failed");
    };
    EXPECT_THROW(r.doRefreshIfNeeded(nullptr), std::runtime_error);
    EXPECT_EQ(taken(), "a");
    EXPECT_FALSE(r.isScheduledTest());

    fail = false;
    r.doRefreshIfNeeded(nullptr);
    EXPECT_EQ(taken(), "ab");
}

TEST_F(aRefresherTest, APassInsideAPassLeavesTheOuterOneInItsPass)
{
    aRefresher r(false);
    Probes p(2);
    r.schedule(p[0], 1, nullptr);
    r.schedule(p[1], 2, nullptr);
    bool nested = false;
    bool stillInPass = false;
    p[0].action = [&] {
        if (nested)
            return;
        nested = true;
        r.doRefreshIfNeeded(nullptr);
        stillInPass = r.isScheduledTest();
    };
    r.doRefreshIfNeeded(nullptr);
    EXPECT_EQ(taken(), "aabb");
    EXPECT_TRUE(stillInPass);
    EXPECT_FALSE(r.isScheduledTest());
}
