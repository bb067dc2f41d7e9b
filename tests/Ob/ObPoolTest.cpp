#include "ObTestTypes.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::vector<uint32_t> roster(Obt const& t)
{
    return std::vector<uint32_t>(t.myAddrsByRosterIndex, t.myAddrsByRosterIndex + t.mySize);
}

} // namespace

TEST(ObPool, SlotsAreHandedOutAndReusedInRosterOrder)
{
    HookCount::zero();
    ObClassTypeOf<Plain> six("Plain", 3, -1);
    EXPECT_EQ(six.mySize, 6u);
    EXPECT_EQ(six.getCurrentTypeCount(), 0u);
    EXPECT_EQ(six.objFromAddr(0), nullptr);

    ObClassTypeOf<Rec> t("Rec", 1, 1);
    Obh a = t.make();
    EXPECT_EQ(a.getAddr(), 0u);
    EXPECT_EQ(t.mySize, 1u);
    Obh b = t.make();
    EXPECT_EQ(b.getAddr(), 1u);
    EXPECT_EQ(t.mySize, 2u);
    Obh c = t.make();
    EXPECT_EQ(c.getAddr(), 2u);
    EXPECT_EQ(HookCount::inits, 3);

    // Freeing the middle one and making again gives it back.
    Obh b2 = b;
    b.dealloc();
    EXPECT_FALSE(b.isValid());
    EXPECT_TRUE(b2.isValid());
    EXPECT_EQ(b2.obj(), nullptr) << "a copy of a freed handle resolves to nothing";
    EXPECT_EQ(t.mem(1, false), nullptr);
    EXPECT_NE(t.mem(1, true), nullptr);
    EXPECT_EQ(HookCount::recycles, 1);
    Obh d = t.make();
    EXPECT_EQ(d.getAddr(), 1u);
    EXPECT_EQ(b2.obj(), d.obj()) << "no generation count: the stale copy finds the new object";

    // Free 0 (swapped with the last live entry), then 2: they come back as 2, then 0.
    a.dealloc();
    EXPECT_EQ(roster(t), (std::vector<uint32_t>{1, 2, 0}));
    c.dealloc();
    EXPECT_TRUE(rosterSound(t));
    EXPECT_EQ(t.make().getAddr(), 2u);
    EXPECT_EQ(t.make().getAddr(), 0u);
    EXPECT_TRUE(rosterSound(t));

    // Objects whose ObObj base is not the first base are reached at the right address.
    ObClassTypeOf<Plain> p("Plain", 1, 1);
    Obh h = p.make();
    EXPECT_EQ(h.obj(), static_cast<ObObj*>(p.ptr(h)));
    EXPECT_EQ(p.ptr(h)->pad[2], 3);
    EXPECT_EQ(p.value(h), p.ptr(h));
}

TEST(ObPool, ResetRecyclesOnceAndFreesMemory)
{
    HookCount::zero();
    ObClassTypeOf<Rec> t("Rec", 2, 1);
    std::vector<Obh> hs;
    for (int i = 0; i < 5; ++i)
        hs.push_back(t.make());
    uint32_t size = t.mySize;
    t.reset(false, true);
    EXPECT_EQ(HookCount::recycles, 5);
    EXPECT_EQ(t.getCurrentTypeCount(), 0u);
    EXPECT_EQ(t.mySize, size);
    EXPECT_TRUE(rosterSound(t));
    for (auto& h : hs)
        EXPECT_EQ(h.obj(), nullptr);

    t.reset(true, true);
    EXPECT_EQ(HookCount::recycles, 5);
    EXPECT_EQ(HookCount::clears, static_cast<int>(size));
    EXPECT_EQ(t.mySize, 0u);
    EXPECT_EQ(t.objFromAddr(0), nullptr);
    EXPECT_EQ(hs[0].obj(), nullptr);
    Obh n = t.make();
    EXPECT_EQ(t.mySize, 2u) << "grows by the step from an empty pool";
    EXPECT_EQ(n.getAddr(), 0u);
}

// Objects are made for the slots a pool hands out and a few ahead of them, never one per slot
// of a large pool, and kept for the next object of their slot.
TEST(ObPool, ObjectsAreMadeForWhatIsLiveNotForEverySlot)
{
    HookCount::zero();
    ObClassTypeOf<Rec> t("Rec", 1, 1000);
    t.expandBy(100000);
    EXPECT_LE(HookCount::made, 2);
    std::vector<Obh> hs;
    for (int i = 0; i < 10; ++i)
        hs.push_back(t.make());
    EXPECT_EQ(HookCount::made, 10);
    Rec* first = t.ptr(hs[0]);
    hs[0].dealloc();
    hs[0] = t.make();
    EXPECT_EQ(hs[0].getAddr(), 0u);
    EXPECT_EQ(t.ptr(hs[0]), first);
    EXPECT_EQ(HookCount::made, 10) << "the object handed back is reused";
    EXPECT_EQ(t.mem(500, true), nullptr) << "a slot never live";
    EXPECT_EQ(t.objFromAddr(500), nullptr);
    EXPECT_TRUE(rosterSound(t));

    t.reset(true, true);
    EXPECT_EQ(HookCount::clears, 10) << "what was made is cleared";
    EXPECT_EQ(t.mySize, 0u);
}

TEST(ObPool, FreeingWhatIsNotLiveChangesNothing)
{
    ObClassTypeOf<Rec> t("Rec", 1, 3);
    Obh a = t.make();
    Obh b = t.make();
    Obh stale = a;
    a.dealloc();
    auto before = roster(t);
    stale.dealloc(); // the slot is already free
    t.deallocAddr(7);
    EXPECT_EQ(roster(t), before);
    EXPECT_EQ(t.getCurrentTypeCount(), 1u);
    EXPECT_FALSE(stale.isValid());
    Obh none;
    none.dealloc();
    EXPECT_EQ(b.obj(), t.objFromAddr(b.getAddr()));
}

TEST(ObPool, HandlesCompareByPoolSlotAndFlags)
{
    ObClassTypeOf<Rec> t1("Rec", 1, 4);
    ObClassTypeOf<Plain> t2("Plain", 1, 4);
    Obh none;
    EXPECT_FALSE(none.isValid());
    EXPECT_FALSE(static_cast<bool>(none));
    EXPECT_EQ(none.obj(), nullptr);

    Obh a = t1.make();
    Obh b = t1.make();
    Obh x = t2.make();
    Obh a2 = a;
    EXPECT_TRUE(a == a2);
    a2.dealloc();
    EXPECT_FALSE(a == a2) << "flags differ after one copy was freed";
    EXPECT_FALSE(a < a2);
    EXPECT_FALSE(a2 < a);
    EXPECT_EQ(a2.obj(), nullptr) << "a handle that is not valid names nothing, also with a live slot";
    a2 = t1.make();
    EXPECT_EQ(a2.getAddr(), a.getAddr());
    a2.myFlags = 0; // as read from a document
    EXPECT_EQ(a2.obj(), nullptr);
    EXPECT_NE(a.obj(), nullptr);
    EXPECT_TRUE(a < b);
    // Between pools the order is the pools' identity, whatever the slots; it is a strict order.
    EXPECT_NE(a < x, x < a);
    EXPECT_EQ(b < x, a < x);
    std::set<Obh> s = {b, a, x, a};
    EXPECT_EQ(s.size(), 3u);
}

// Handles from a file can name anything; the checked lookup answers null where the pool's own
// lookups would stop at an assertion.
TEST(ObPool, HandlesFromAFileResolveOnlyToLiveObjectsOfTheirPool)
{
    Store s;
    Obh rec = s.recs.make();
    Obh freed = s.recs.make();
    Obh plain = s.plains.make();
    freed.dealloc();
    Obh stale = freed;
    stale.myFlags = Obh::IsValid;
    Obh flagsZero = rec;
    flagsZero.myFlags = 0;
    Obh otherBits = rec;
    otherBits.myFlags |= 6;
    Obh outOfRange = rec;
    outOfRange.myAddr = 4000000000u;
    Obh wrongIndex = rec;
    wrongIndex.myTypeIndex = s.plains.getTypeIndex();
    Obh none;

    EXPECT_EQ(s.recs.ptrFromFile(rec), s.recs.ptr(rec));
    EXPECT_EQ(s.recs.objFromFile(rec), rec.obj());
    EXPECT_EQ(s.recs.ptrFromFile(otherBits), s.recs.ptr(rec))
        << "bits beside the valid bit are carried";
    struct Case
    {
        char const* what;
        Obh const& h;
    } const nulls[] = {
        {"a free slot", stale},
        {"flags 0", flagsZero},
        {"a slot beyond the pool", outOfRange},
        {"a live slot of another pool", plain},
        {"a type index not the pool's", wrongIndex},
        {"a default handle", none},
    };
    for (auto const& c : nulls) {
        EXPECT_EQ(s.recs.ptrFromFile(c.h), nullptr) << c.what;
        EXPECT_EQ(s.recs.objFromFile(c.h), nullptr) << c.what;
    }
    EXPECT_EQ(s.plains.ptrFromFile(plain), s.plains.ptr(plain));
}
