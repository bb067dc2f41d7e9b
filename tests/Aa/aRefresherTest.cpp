#include "aRefresher.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gRun;

// Records its runs; an optional action lets a test change the schedule from inside a pass.
struct Probe : aRefreshable
{
    std::string tag;
    std::function<void()> action;
    void refresh(aRefreshContext*) override
    {
        gRun.push_back(tag);
        if (action)
            action();
    }
};

aRefresher::Func refreshOf(aRefreshable* r)
{
    return fastdelegate::MakeDelegate<aRefreshable>(r, &aRefreshable::refresh);
}

void freeStep(aRefreshContext*) { gRun.push_back("free"); }

std::string joined()
{
    std::string s;
    for (auto const& t : gRun)
        s += (s.empty() ? "" : " ") + t;
    gRun.clear();
    return s;
}

} // namespace

TEST(aRefresher, PassRunsLevelsAscendingAndEachLevelInObjectOrder)
{
    aRefresher r(false);
    r.doRefreshIfNeeded(nullptr);
    EXPECT_FALSE(r.myInRefresh);
    EXPECT_EQ(r.myCurrentLevel, -1);

    Probe p[3];
    p[0].tag = "a";
    p[1].tag = "b";
    p[2].tag = "c";
    // Scheduled against address order; the pass still runs a level from the lowest address.
    r.schedule(p[2], 500, static_cast<char const*>(nullptr));
    r.schedule(p[0], 500, static_cast<char const*>(nullptr));
    r.schedule(p[1], 150, static_cast<char const*>(nullptr));
    r.schedule(p[1], 500, static_cast<char const*>(nullptr));
    r.schedule(p[1], 500, static_cast<char const*>(nullptr)); // once per level only
    r.scheduleFunc(&freeStep, 0, static_cast<char const*>(nullptr));
    int seenLevel = -2;
    bool seenInPass = false;
    p[0].action = [&] { seenInPass = r.isScheduledTest(seenLevel); };

    r.doRefreshIfNeeded(nullptr);
    EXPECT_EQ(joined(), "free b a b c");
    EXPECT_TRUE(seenInPass);
    EXPECT_EQ(seenLevel, 500);
    EXPECT_FALSE(r.isScheduledTest());
    EXPECT_EQ(r.myCurrentLevel, 500);
    EXPECT_FALSE(r.myNeedsRefresh); // a pass neither needs nor lowers the request flag
    r.setNeedsRefresh(nullptr);
    r.doRefreshIfNeeded(nullptr);
    EXPECT_TRUE(r.myNeedsRefresh);
    EXPECT_EQ(joined(), "free b a b c");
}

TEST(aRefresher, ScheduleChangesMadeDuringAPass)
{
    aRefresher r(false);
    Probe p[5];
    for (int i = 0; i < 5; ++i)
        p[i].tag = std::string(1, char('a' + i));
    r.schedule(p[1], 200, static_cast<char const*>(nullptr));
    r.schedule(p[3], 200, static_cast<char const*>(nullptr));
    r.schedule(p[4], 200, static_cast<char const*>(nullptr));
    // b adds a to its own level (before it: next pass) and c after it (this pass), schedules e
    // at a higher new level (this pass) and d at a lower one (next pass), and drops e's turn at
    // 200 before it comes.
    p[1].action = [&] {
        r.schedule(p[0], 200, static_cast<char const*>(nullptr));
        r.schedule(p[2], 200, static_cast<char const*>(nullptr));
        r.schedule(p[4], 700, static_cast<char const*>(nullptr));
        r.schedule(p[3], 150, static_cast<char const*>(nullptr));
        r.unschedule(refreshOf(&p[4]), 200);
        p[1].action = nullptr;
    };
    r.doRefreshIfNeeded(nullptr);
    EXPECT_EQ(joined(), "b c d e");
    r.doRefreshIfNeeded(nullptr);
    EXPECT_EQ(joined(), "d a b c d e");

    // A callback that removes itself, and one whose refreshable dies during its own turn,
    // leave the walk intact.
    aRefresher r2(false);
    Probe q[3];
    q[0].tag = "x";
    q[1].tag = "y";
    q[2].tag = "z";
    auto dying = std::make_unique<Probe>();
    dying->tag = "dying";
    r2.schedule(q[0], 10, static_cast<char const*>(nullptr));
    r2.schedule(q[2], 10, static_cast<char const*>(nullptr));
    r2.schedule(*dying, 10, static_cast<char const*>(nullptr));
    r2.schedule(q[1], 20, static_cast<char const*>(nullptr));
    q[0].action = [&] { r2.unschedule(refreshOf(&q[0])); };
    dying->action = [&] { dying.reset(); };
    r2.doRefreshIfNeeded(nullptr);
    std::string first = joined();
    EXPECT_NE(first.find('x'), std::string::npos);
    EXPECT_NE(first.find('z'), std::string::npos);
    EXPECT_NE(first.find("dying"), std::string::npos);
    r2.doRefreshIfNeeded(nullptr);
    EXPECT_EQ(joined(), "z y");
}

TEST(aRefresher, UnscheduleAndLifetimes)
{
    auto r = std::make_unique<aRefresher>(false);
    Probe a, b;
    a.tag = "a";
    b.tag = "b";
    EXPECT_FALSE(r->unschedule(refreshOf(&a), 7));
    r->schedule(b, 7, static_cast<char const*>(nullptr));
    EXPECT_TRUE(r->unschedule(refreshOf(&a), 7));

    r->schedule(a, 3, static_cast<char const*>(nullptr));
    r->schedule(a, 9, static_cast<char const*>(nullptr));
    r->unschedule(&a);
    EXPECT_TRUE(a.myFuncsByTx.empty());
    EXPECT_EQ(r->myTxByLevel.count(3), 1u); // emptied levels stay until a pass finds them
    r->doRefreshIfNeeded(nullptr);
    EXPECT_EQ(joined(), "b");
    EXPECT_EQ(r->myTxByLevel.size(), 1u);

    {
        Probe shortLived;
        shortLived.tag = "gone";
        r->schedule(shortLived, 7, static_cast<char const*>(nullptr));
    }
    r->doRefreshIfNeeded(nullptr);
    EXPECT_EQ(joined(), "b");

    r->scheduleFunc(&freeStep, 1, static_cast<char const*>(nullptr));
    r->unscheduleFunc(&freeStep);
    r->doRefreshIfNeeded(nullptr);
    EXPECT_EQ(joined(), "b");

    // The refresher goes first; the refreshable forgets it and dies later without harm.
    r.reset();
    EXPECT_TRUE(b.myFuncsByTx.empty());
}

TEST(aRefresher, PrintListsLevelsAndRecordedNames)
{
    Probe p;
    rtl::str desc;
    p.describeRefreshable(desc);
    EXPECT_EQ(std::string(desc.c()).rfind("Refreshable(", 0), 0u);
    EXPECT_NE(std::string(desc.c()).find("Probe"), std::string::npos);

    aRefresher named(true);
    named.schedule(p, 500, static_cast<char const*>(nullptr));
    named.schedule(&p, 0, refreshOf(&p), "tlCmp::printDirt");
    testing::internal::CaptureStdout();
    named.print();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("REFRESHING 2 refresh phases, 2 clients!"), std::string::npos);
    EXPECT_NE(out.find("  LEVEL: 500"), std::string::npos);
    EXPECT_NE(out.find(std::string("    ") + desc.c() + "::refresh"), std::string::npos);
    EXPECT_NE(out.find("    tlCmp::printDirt"), std::string::npos);

    aRefresher plain(false);
    plain.schedule(p, 500, "ignored");
    testing::internal::CaptureStdout();
    plain.print();
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("  LEVEL: 500"), std::string::npos);
    EXPECT_EQ(out.find("ignored"), std::string::npos);
    EXPECT_EQ(out.find("::refresh"), std::string::npos);
}
