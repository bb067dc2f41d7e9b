#include "aStateEngine.h"

#include <gtest/gtest.h>

TEST(aStateEngine, ChangesRememberThePreviousSet)
{
    aStateEngine e;
    EXPECT_EQ(e.setState(0x5), 0x5u);
    EXPECT_EQ(e.clearState(0x1), 0x4u);
    EXPECT_EQ(e.getStates(), 0x4u);
    EXPECT_TRUE(e.lastStateWasSet(0x1));
    EXPECT_FALSE(e.stateIsSet(0x1));
    EXPECT_TRUE(e.stateIsSet(0x3 | 0x4)); // any of the bits
    EXPECT_TRUE(e.stateIsActive(0x4));

    e.setState(0); // no change, but the previous set is taken over
    EXPECT_EQ(e.getStates(), 0x4u);
    EXPECT_FALSE(e.lastStateWasSet(0x1));
}

TEST(aStateEngine, IdsAreDistinctBitsUntilTheWordIsFull)
{
    aStateEngine e;
    unsigned long seen = 0;
    for (int i = 0; i < 64; ++i) {
        unsigned long id = i == 1 ? e.newStateId("") : e.newStateId(i == 2 ? "Dragging" : nullptr);
        ASSERT_EQ(__builtin_popcountl(id), 1) << i;
        ASSERT_EQ(seen & id, 0u) << i;
        seen |= id;
    }
    EXPECT_EQ(seen, ~0UL);
    EXPECT_STREQ(e.getStateName(1UL << 1).c(), "State[1]"); // an empty name is no name

    EXPECT_EQ(e.newStateId("one too many"), 0u);
    EXPECT_EQ(e.setState(e.newStateId(nullptr)), 0u);
}
