#include "ObhSet.h"
#include "ObTestTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>
#include <vector>

namespace {

using Whole = std::tuple<Obt*, uint32_t, uint32_t, uint64_t>;

// Everything a handle holds, so that a flag or a type index lost on the way shows.
template <class C> std::vector<Whole> wholeOf(C const& handles)
{
    std::vector<Whole> out;
    for (Obh const& h : handles)
        out.emplace_back(h.myType, h.myTypeIndex, h.myAddr, h.myFlags);
    return out;
}

Obh handle(Obt& pool, uint32_t addr, uint64_t flags = Obh::IsValid, uint32_t typeIndex = 0)
{
    Obh h;
    h.myType = &pool;
    h.myTypeIndex = typeIndex;
    h.myAddr = addr;
    h.myFlags = flags;
    return h;
}

} // namespace

// The set answers as std::set<Obh> does, whatever mix of handles it holds: many slots of one
// pool (runs split and emptied), handles of a second pool, handles with other flags or another
// type index, inserted twice and erased in any order, one by one or many at once.
TEST(ObhSet, AnswersAsTheStandardSetDoes)
{
    ObClassTypeOf<Rec> a("Rec", 1, 1);
    ObClassTypeOf<Plain> b("Plain", 1, 1);
    std::mt19937 rnd(7);
    ObhSet flat;
    std::set<Obh> reference;
    for (int step = 0; step < 20000; ++step) {
        int const kind = static_cast<int>(rnd() % 20);
        uint32_t const addr = static_cast<uint32_t>(rnd() % 1500);
        Obh h = handle(a, addr);
        if (kind == 0)
            h = handle(b, addr % 40);
        else if (kind == 1)
            h = handle(a, addr, 3);
        else if (kind == 2)
            h = handle(a, addr, 0);
        else if (kind == 3)
            h = handle(a, addr, Obh::IsValid, 5);
        // Inserting more often than erasing, then the other way round: the set fills and empties.
        bool const filling = (step / 5000) % 2 == 0;
        if (rnd() % 3 != 0 ? filling : !filling) {
            EXPECT_EQ(flat.insert(h), reference.insert(h).second);
        } else {
            EXPECT_EQ(flat.erase(h), reference.erase(h));
        }
        ASSERT_EQ(flat.size(), reference.size()) << "step " << step;
        EXPECT_EQ(flat.count(h), reference.count(h));
        if (step % 500 == 0) {
            ASSERT_EQ(wholeOf(flat), wholeOf(reference)) << "step " << step;
        }
        if (step % 1000 == 999) {
            // Many at once, in handle order: members (asked for with other flags too) and not.
            std::vector<Obh> batch;
            int i = 0;
            for (Obh const& member : reference)
                if (i++ % 7 == 0)
                    batch.push_back(member);
            for (Obh& member : batch)
                if (member.myAddr % 2 == 0)
                    member.myFlags ^= Obh::IsValid;
            batch.push_back(handle(a, 5000));
            std::size_t taken = 0;
            for (Obh const& member : batch)
                taken += reference.erase(member);
            EXPECT_EQ(flat.eraseSorted(batch), taken);
            ASSERT_EQ(wholeOf(flat), wholeOf(reference)) << "step " << step;
        }
        if (step % 1000 == 499) {
            // Many put in at once, in handle order: new slots between and after those there,
            // members again, handles of the other pool, with other flags or type index.
            std::vector<Obh> batch;
            for (uint32_t addr = step % 3; addr < 1700; addr += 5)
                batch.push_back(
                    handle(a, addr, addr % 50 == 1 ? 3 : Obh::IsValid, addr % 70 == 2 ? 5 : 0));
            for (uint32_t addr = 0; addr < 40; addr += 9)
                batch.push_back(handle(b, addr));
            std::sort(batch.begin(), batch.end());
            std::size_t put = 0;
            for (Obh const& h : batch)
                put += reference.insert(h).second ? 1 : 0;
            EXPECT_EQ(flat.insertSorted(batch), put);
            ASSERT_EQ(wholeOf(flat), wholeOf(reference)) << "step " << step;
        }
    }
    EXPECT_EQ(wholeOf(flat), wholeOf(reference));
    ObhSet copy = flat;
    EXPECT_EQ(copy, flat);
    copy.erase(*flat.begin());
    EXPECT_NE(copy, flat);
    flat.clear();
    EXPECT_TRUE(flat.empty());
    EXPECT_EQ(flat.begin(), flat.end());
}

// Handles of a pool whose slots were freed and handed out again: a freed handle's copy and the
// new object's handle name one key, and the set holds what it was given.
TEST(ObhSet, FollowsSlotsThroughFreeingAndReuse)
{
    ObClassTypeOf<Rec> pool("Rec", 1, 1);
    ObhSet set;
    std::vector<Obh> made;
    for (int i = 0; i < 600; ++i) {
        made.push_back(pool.make());
        set.insert(made.back());
    }
    // Every third object goes: out of the set, then back to its pool.
    for (std::size_t i = 0; i < made.size(); i += 3) {
        Obh stale = made[i];
        EXPECT_EQ(set.erase(made[i]), 1u);
        made[i].dealloc();
        EXPECT_FALSE(set.contains(stale));
    }
    EXPECT_EQ(set.size(), 400u);
    // New objects take the freed slots; a stale handle without its valid flag is the same key.
    for (int i = 0; i < 200; ++i) {
        Obh h = pool.make();
        EXPECT_TRUE(set.insert(h));
        Obh invalid = h;
        invalid.myFlags = 0;
        EXPECT_FALSE(set.insert(invalid)) << "one key per slot, whatever the flags";
        EXPECT_TRUE(set.contains(invalid));
    }
    EXPECT_EQ(set.size(), 600u);
    uint32_t expected = 0;
    for (Obh const& h : set) {
        EXPECT_EQ(h.getAddr(), expected++) << "slots in ascending order";
        EXPECT_TRUE(h.isValid());
        EXPECT_NE(pool.obj(h), nullptr);
    }
}
