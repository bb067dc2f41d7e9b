#include "FastDelegate1.h"
#include "FastDelegate3.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

std::string gLast;

struct Base
{
    virtual ~Base() = default;
    virtual void hit(int v) { gLast = "Base " + std::to_string(v); }
    void plain(int v) { gLast = "plain " + std::to_string(v); }
    void label(int a, double b, std::string& out) const { out = std::to_string(a + static_cast<int>(b)); }
};
struct Derived : Base
{
    void hit(int v) override { gLast = "Derived " + std::to_string(v); }
};
// A base in front moves the Base part away from the object's start.
struct Pad
{
    virtual ~Pad() = default;
    long pad[3] = {};
};
struct Shifted : Pad, Derived
{
};

void freeA(int v) { gLast = "freeA " + std::to_string(v); }

using D1 = fastdelegate::FastDelegate1<int, void>;
bool same(D1 const& a, D1 const& b) { return !(a < b) && !(b < a); }

} // namespace

TEST(FastDelegate, CallsThroughAdjustedBasesVirtuallyAndSurvivesClearingTheOriginal)
{
    Shifted s;
    D1 virt = fastdelegate::MakeDelegate<Base>(&s, &Base::hit);
    D1 copy = virt;
    virt.clear();
    copy(1);
    EXPECT_EQ(gLast, "Derived 1");
    fastdelegate::MakeDelegate(&s, &Base::plain)(2);
    EXPECT_EQ(gLast, "plain 2");
    D1 fn(&freeA);
    fn(3);
    EXPECT_EQ(gLast, "freeA 3");
    std::string out;
    fastdelegate::FastDelegate3<int, double, std::string&, void> label = fastdelegate::MakeDelegate(&s, &Base::label);
    label(2, 3.5, out);
    EXPECT_EQ(out, "5");
}

TEST(FastDelegate, OrderingMakesMapKeys)
{
    D1 none, cleared(&freeA), nullFree(static_cast<D1::FreeFunction>(nullptr));
    cleared.clear();
    EXPECT_TRUE(same(none, cleared));
    EXPECT_TRUE(same(none, nullFree));
    EXPECT_TRUE(nullFree.empty());
    Base objs[3];
    EXPECT_TRUE(none < fastdelegate::MakeDelegate(&objs[0], &Base::hit));
    std::map<D1, int> keys;
    for (int i = 2; i >= 0; --i) // inserted from the highest address down
        keys[fastdelegate::MakeDelegate(&objs[i], &Base::hit)] = i;
    keys[fastdelegate::MakeDelegate(&objs[1], &Base::hit)] = 10;  // same binding: same key
    keys[fastdelegate::MakeDelegate(&objs[1], &Base::plain)] = 11; // other member: new key
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys.begin()->second, 0);
    EXPECT_EQ(keys.rbegin()->second, 2);
}
