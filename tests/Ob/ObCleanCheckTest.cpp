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
    bool needsCleaning(ObDirty const*) override { return ++gEvaluated, value; }
    bool value;
};

std::string sig(ObCleanCheck const& c, ObDirty const* dirt)
{
    rtl::str s;
    c.getSignature(s, dirt);
    return s.c();
}

} // namespace

TEST(ObCleanCheck, CombinationsShortCircuitStopAtTheFirstNullAndOwnTheirChecks)
{
    EXPECT_FALSE(ObCleanOr(nullptr).needsCleaning(nullptr));
    EXPECT_TRUE(ObCleanAnd(nullptr).needsCleaning(nullptr));
    gEvaluated = gDestroyed = 0;
    EXPECT_TRUE(ObCleanOr(new Fixed(true), new Fixed(false), nullptr).needsCleaning(nullptr));
    EXPECT_FALSE(ObCleanAnd(new Fixed(false), new Fixed(true), nullptr).needsCleaning(nullptr));
    EXPECT_EQ(gEvaluated, 2);
    Fixed ignored(false);
    EXPECT_TRUE(ObCleanAnd(new Fixed(true), nullptr, &ignored).needsCleaning(nullptr));

    gDestroyed = 0;
    ObCleanCheck* tree = new ObCleanOr(new Fixed(true), new ObCleanAnd(new Fixed(true), new Fixed(false), nullptr), nullptr);
    delete tree;
    EXPECT_EQ(gDestroyed, 3);
}

TEST(ObCleanCheck, LeavesFollowTheRaisedIdsAndSignaturesNameThem)
{
    ObDirty dirt(nullptr, nullptr);
    unsigned int const a = dirt.newDirtId("DirtA"), b = dirt.newDirtId("DirtB"), c = dirt.newDirtId("DirtC");
    ObCleanOr nested(new ObCleanAnd(new ObCleanIfDirty(a), new ObCleanIfNotDirty(b), new ObCleanIfNotDirty(c), nullptr),
                     nullptr);
    EXPECT_TRUE(ObCleanIfNotDirty(99).needsCleaning(&dirt)); // an id never handed out
    EXPECT_FALSE(nested.needsCleaning(&dirt));
    dirt.setDirty(a, false);
    EXPECT_TRUE(nested.needsCleaning(&dirt));
    dirt.setDirty(c, false);
    EXPECT_FALSE(nested.needsCleaning(&dirt));
    dirt.clearAllDirt();
    EXPECT_FALSE(nested.needsCleaning(&dirt));
    EXPECT_FALSE(ObCleanCheck().needsCleaning(&dirt));

    EXPECT_EQ(sig(nested, &dirt), "Or(And(IfDirty[DirtA],IfNotDirty[DirtB],IfNotDirty[DirtC]))");
    EXPECT_EQ(sig(nested, nullptr), "Or(And(IfDirty[1],IfNotDirty[2],IfNotDirty[3]))");
}
