#include "ObQtRefresher.h"
#include "ObQtTestSupport.h"
#include "aRefreshable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// Counts its passes and the contexts it got, and how deeply passes nest.
struct PassCounter : aRefreshable
{
    void refresh(aRefreshContext* ctx) override
    {
        contexts.push_back(ctx);
        maxDepth = std::max(maxDepth, ++depth);
        if (onPass)
            onPass(contexts.size());
        --depth;
    }
    int passes() const { return static_cast<int>(contexts.size()); }
    int depth = 0, maxDepth = 0;
    std::vector<aRefreshContext*> contexts;
    std::function<void(size_t)> onPass;
};

struct ObQtRefresherTest : testing::Test
{
    ObQtRefresherTest() { r.schedule(&c, 500, "counter"); }
    ObQtRefresher r;
    PassCounter c;
};

} // namespace

TEST_F(ObQtRefresherTest, RequestsInOneTurnMakeOnePassOnTheNextWithNullContext)
{
    int anything = 0;
    r.setNeedsRefresh(reinterpret_cast<aRefreshContext*>(&anything));
    r.setNeedsRefresh(reinterpret_cast<aRefreshContext*>(&anything));
    EXPECT_EQ(c.passes(), 0) << "a request never runs the pass itself";
    EXPECT_FALSE(r.getRefreshDuration());
    spinEventLoop();
    EXPECT_EQ(c.contexts, std::vector<aRefreshContext*>{nullptr});
    EXPECT_TRUE(r.getRefreshDuration());
    spinEventLoop();
    EXPECT_EQ(c.passes(), 1) << "no request, no pass";
}

TEST_F(ObQtRefresherTest, RequestDuringAPassGivesExactlyOneMorePassAfterIt)
{
    c.onPass = [&](size_t pass) {
        if (pass == 1) {
            r.setNeedsRefresh(nullptr);
            r.setNeedsRefresh(nullptr);
        }
    };
    r.setNeedsRefresh(nullptr);
    spinEventLoop();
    EXPECT_EQ(c.passes(), 2);
    EXPECT_EQ(c.maxDepth, 1);
}

TEST_F(ObQtRefresherTest, FiringDuringANestedLoopOfAPassIsFollowedByAPass)
{
    // The first pass asks for another, then runs a nested loop (a modal dialog, say) in which
    // the timer fires while the pass still runs.
    c.onPass = [&](size_t pass) {
        if (pass == 1) {
            r.setNeedsRefresh(nullptr);
            spinEventLoop(20);
        }
    };
    r.setNeedsRefresh(nullptr);
    spinEventLoop(60);
    EXPECT_EQ(c.passes(), 2);
    EXPECT_EQ(c.maxDepth, 1) << "no pass inside a pass";
    spinEventLoop();
    EXPECT_EQ(c.passes(), 2) << "the dropped firing is made up once";
}
