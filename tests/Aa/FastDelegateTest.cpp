#include "FastDelegate1.h"
#include "FastDelegate3.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gCalls;

struct Base
{
    virtual ~Base() = default;
    virtual void hit(int v) { gCalls.push_back("Base " + std::to_string(v)); }
    void plain(int v) { gCalls.push_back("plain " + std::to_string(v)); }
    void label(int a, double b, std::string& out) const { out = std::to_string(a + static_cast<int>(b)) + tag; }
    std::string tag = "!";
};

struct Derived : Base
{
    void hit(int v) override { gCalls.push_back("Derived " + std::to_string(v)); }
};

// A second base in front moves the Base part away from the object's start address.
struct Pad
{
    virtual ~Pad() = default;
    long pad[3] = {};
};
struct Shifted : Pad, Derived
{
};

void freeA(int v) { gCalls.push_back("freeA " + std::to_string(v)); }
void freeB(int v) { gCalls.push_back("freeB " + std::to_string(v)); }

using D1 = fastdelegate::FastDelegate1<int, void>;

bool same(D1 const& a, D1 const& b) { return !(a < b) && !(b < a); }

} // namespace

TEST(FastDelegate, CallsMembersVirtuallyThroughAdjustedBasesAndFreeFunctions)
{
    gCalls.clear();
    Shifted s;
    Base* asBase = &s;
    ASSERT_NE(static_cast<void*>(asBase), static_cast<void*>(&s));
    D1 virt = fastdelegate::MakeDelegate<Base>(asBase, &Base::hit);
    D1 direct = fastdelegate::MakeDelegate(&s, &Base::plain);
    D1 fn(&freeA);
    virt(1);
    direct(2);
    fn(3);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"Derived 1", "plain 2", "freeA 3"}));

    // Three-argument form with a const member function (the label callbacks).
    Base b;
    b.tag = "?";
    auto label = fastdelegate::MakeDelegate(&b, &Base::label);
    fastdelegate::FastDelegate3<int, double, std::string&, void> copy;
    copy = label;
    std::string out;
    copy(2, 3.5, out);
    EXPECT_EQ(out, "5?");
}

TEST(FastDelegate, EmptyCopiedAndClearedValues)
{
    D1 none;
    D1 cleared(&freeA);
    cleared.clear();
    D1 nullFree(static_cast<D1::FreeFunction>(nullptr));
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(cleared.empty());
    EXPECT_TRUE(nullFree.empty());
    EXPECT_TRUE(same(none, cleared));
    EXPECT_TRUE(same(none, nullFree));

    Derived d;
    D1 bound = fastdelegate::MakeDelegate<Base>(&d, &Base::hit);
    EXPECT_TRUE(none < bound);
    EXPECT_TRUE(none < D1(&freeB));

    D1 copy = bound;
    bound.clear();
    gCalls.clear();
    copy(4);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"Derived 4"}));
    EXPECT_DEATH(none(1), "ASSERTION FAILED");
}

TEST(FastDelegate, OrdersByObjectAddressThenMemberFunction)
{
    Base objs[3];
    std::map<D1, int> keys;
    // Inserted from the highest address down: the map still walks them from the lowest.
    for (int i = 2; i >= 0; --i)
        keys[fastdelegate::MakeDelegate(&objs[i], &Base::hit)] = i;
    keys[fastdelegate::MakeDelegate(&objs[1], &Base::hit)] = 10; // same binding: same key
    keys[fastdelegate::MakeDelegate(&objs[1], &Base::plain)] = 11; // other member: new key
    ASSERT_EQ(keys.size(), 4u);
    std::vector<int> order;
    for (auto const& [k, v] : keys)
        order.push_back(v);
    ASSERT_EQ(order.front(), 0);
    ASSERT_EQ(order.back(), 2);
    EXPECT_TRUE((order[1] == 10 && order[2] == 11) || (order[1] == 11 && order[2] == 10));

    // Free functions order by their address.
    D1 a(&freeA), b(&freeB);
    bool aFirst = reinterpret_cast<std::uintptr_t>(&freeA) < reinterpret_cast<std::uintptr_t>(&freeB);
    EXPECT_EQ(a < b, aFirst);
    EXPECT_TRUE(same(a, D1(&freeA)));
}
