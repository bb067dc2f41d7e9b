#include "ObQtRefresher.h"
#include "ObQtTestSupport.h"
#include "aRefreshable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace {

// Records the context of each pass and how deeply passes nest.
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
    EXPECT_TRUE(c.contexts.empty()) << "a request never runs the pass itself";
    EXPECT_FALSE(r.getRefreshDuration());
    ASSERT_TRUE(waitFor([&] { return !c.contexts.empty(); }));
    drainEvents();
    EXPECT_EQ(c.contexts, std::vector<aRefreshContext*>{nullptr});
    EXPECT_TRUE(r.getRefreshDuration());
}

// A request made by a pass gives exactly one more pass after it, never one inside it; also when
// the pass runs a nested event loop (a modal dialog, say) in which the timer fires and is dropped.
TEST_F(ObQtRefresherTest, RequestDuringAPassGivesExactlyOneMorePassAfterIt)
{
    for (bool nestedLoop : {false, true}) {
        PassCounter counter;
        r.unschedule(&c);
        r.schedule(&counter, 500, "counter");
        counter.onPass = [&](size_t pass) {
            if (pass == 1) {
                r.setNeedsRefresh(nullptr);
                r.setNeedsRefresh(nullptr);
                if (nestedLoop) {
                    EXPECT_TRUE(waitFor([&] { return r.myFiredDuringRefresh; }));
                }
            }
        };
        r.setNeedsRefresh(nullptr);
        ASSERT_TRUE(waitFor([&] { return counter.contexts.size() >= 2; })) << nestedLoop;
        drainEvents();
        EXPECT_EQ(counter.contexts.size(), 2u) << nestedLoop;
        EXPECT_EQ(counter.maxDepth, 1) << nestedLoop;
        r.unschedule(&counter);
    }
}

// A step that throws ends its pass, but not the refreshing: the next request gets its pass.
TEST_F(ObQtRefresherTest, AThrowingStepStopsNoLaterPass)
{
    c.onPass = [](size_t pass) {
        if (pass == 1)
            throw std::runtime_error("step failed");
    };
    r.setNeedsRefresh(nullptr);
    EXPECT_THROW(r.refreshTimerCb(), std::runtime_error);
    EXPECT_FALSE(r.myInRefresh);
    r.setNeedsRefresh(nullptr);
    ASSERT_TRUE(waitFor([&] { return c.contexts.size() == 2; }));
}
