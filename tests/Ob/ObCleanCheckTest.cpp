#include "ObCleanAnd.h"
#include "ObCleanIfDirty.h"
#include "ObCleanIfNotDirty.h"
#include "ObCleanOr.h"
#include "ObDirty.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int gEvaluated = 0;
int gDestroyed = 0;

// A leaf with a fixed verdict that counts its evaluations and its destruction.
struct Fixed : ObCleanCheck
{
    explicit Fixed(bool v) : value(v) {}
    ~Fixed() override { ++gDestroyed; }
    bool needsCleaning(ObDirty const*) override
    {
        ++gEvaluated;
        return value;
    }
    bool value;
};

std::string sig(ObCleanCheck const& c, ObDirty const* dirt)
{
    rtl::str s;
    c.getSignature(s, dirt);
    return s.c();
}

} // namespace

TEST(ObCleanCheck, LeavesFollowTheRaisedIds)
{
    ObDirty dirt(nullptr, nullptr);
    unsigned int const a = dirt.newDirtId("DirtA");
    ObCleanIfDirty ifA(a);
    ObCleanIfNotDirty ifNotA(a);
    ObCleanIfNotDirty neverHandedOut(99);
    ObCleanCheck plain;
    EXPECT_FALSE(ifA.needsCleaning(&dirt));
    EXPECT_TRUE(ifNotA.needsCleaning(&dirt));
    EXPECT_TRUE(neverHandedOut.needsCleaning(&dirt));
    dirt.setDirty(a, false);
    EXPECT_TRUE(ifA.needsCleaning(&dirt));
    EXPECT_FALSE(ifNotA.needsCleaning(&dirt));
    EXPECT_FALSE(plain.needsCleaning(&dirt));
    dirt.clearAllDirt();
    EXPECT_FALSE(ifA.needsCleaning(&dirt));
    EXPECT_TRUE(ifNotA.needsCleaning(&dirt));

    // Numbers without an engine, names with one.
    EXPECT_EQ(sig(ObCleanIfDirty(7), nullptr), "IfDirty[7]");
    EXPECT_EQ(sig(ifA, &dirt), "IfDirty[DirtA]");
    EXPECT_EQ(sig(ifNotA, &dirt), "IfNotDirty[DirtA]");
    EXPECT_EQ(sig(ifNotA, nullptr), "IfNotDirty[1]");
    EXPECT_EQ(sig(plain, nullptr), "ObCleanCheck");
}

TEST(ObCleanCheck, CombinationsShortCircuitAndStopAtTheFirstNull)
{
    gEvaluated = 0;
    ObCleanOr emptyOr(nullptr);
    ObCleanAnd emptyAnd(nullptr);
    EXPECT_FALSE(emptyOr.needsCleaning(nullptr));
    EXPECT_TRUE(emptyAnd.needsCleaning(nullptr));

    ObCleanOr orFirstHolds(new Fixed(true), new Fixed(false), nullptr);
    EXPECT_TRUE(orFirstHolds.needsCleaning(nullptr));
    EXPECT_EQ(gEvaluated, 1);
    ObCleanAnd andFirstFails(new Fixed(false), new Fixed(true), nullptr);
    EXPECT_FALSE(andFirstFails.needsCleaning(nullptr));
    EXPECT_EQ(gEvaluated, 2);

    Fixed* ignored = new Fixed(false);
    ObCleanAnd stopsAtNull(new Fixed(true), nullptr, ignored);
    EXPECT_TRUE(stopsAtNull.needsCleaning(nullptr));
    delete ignored; // never taken over

    ObCleanOr withNull(new Fixed(false), nullptr);
    withNull.add(nullptr);
    EXPECT_DEATH(withNull.needsCleaning(nullptr), "ASSERTION FAILED: check");
}

TEST(ObCleanCheck, SignaturesNestAndDeletionReachesEverySubCheck)
{
    ObDirty dirt(nullptr, nullptr);
    unsigned int const a = dirt.newDirtId("DirtA");
    unsigned int const b = dirt.newDirtId("DirtB");
    unsigned int const c = dirt.newDirtId("DirtC");
    ObCleanOr flat(new ObCleanIfDirty(1), new ObCleanIfDirty(5), nullptr);
    EXPECT_EQ(sig(flat, nullptr), "Or(IfDirty[1],IfDirty[5])");
    EXPECT_EQ(sig(ObCleanAnd(nullptr), nullptr), "And()");

    ObCleanOr nested(new ObCleanAnd(new ObCleanIfDirty(a), new ObCleanIfNotDirty(b), new ObCleanIfNotDirty(c), nullptr),
                     nullptr);
    EXPECT_EQ(sig(nested, &dirt), "Or(And(IfDirty[DirtA],IfNotDirty[DirtB],IfNotDirty[DirtC]))");
    EXPECT_EQ(sig(nested, nullptr), "Or(And(IfDirty[1],IfNotDirty[2],IfNotDirty[3]))");
    EXPECT_FALSE(nested.needsCleaning(&dirt));
    dirt.setDirty(a, false);
    EXPECT_TRUE(nested.needsCleaning(&dirt));
    dirt.setDirty(c, false);
    EXPECT_FALSE(nested.needsCleaning(&dirt));

    gDestroyed = 0;
    ObCleanCheck* tree = new ObCleanOr(new Fixed(true), new ObCleanAnd(new Fixed(true), new Fixed(false), nullptr), nullptr);
    delete tree;
    EXPECT_EQ(gDestroyed, 3);
}
