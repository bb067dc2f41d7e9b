#include "ref.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>

namespace {

// Counts deletions, so that every case can check that each object went exactly once.
struct Counted
{
    explicit Counted(int v = 0) : value(v) {}
    virtual ~Counted() { ++deleted; }
    int value;
    static int deleted;
};
int Counted::deleted = 0;

using Ref = rtl::ref<Counted>;

class RefTest : public testing::Test
{
protected:
    void SetUp() override { Counted::deleted = 0; }
};

// A list node owned through handles: the next node is held only by the node before it.
struct Node
{
    explicit Node(int v) : value(v) {}
    ~Node() { ++deleted; }
    int value;
    rtl::ref<Node> next;
    static int deleted;
};
int Node::deleted = 0;

rtl::ref<Node> chainOf(int n)
{
    rtl::ref<Node> head(new Node(0));
    Node* tail = head.get();
    for (int i = 1; i < n; ++i) {
        tail->next.set(new Node(i));
        tail = tail->next.get();
    }
    return head;
}

} // namespace

TEST_F(RefTest, EmptyHandleAndManagerWithoutObject)
{
    Ref empty, fromNull(nullptr), copyOfEmpty(empty);
    EXPECT_TRUE(!empty);
    EXPECT_EQ(empty.getCount(), 0);
    EXPECT_EQ(fromNull.getMgr(), nullptr);
    EXPECT_EQ(copyOfEmpty.getMgr(), nullptr);
    EXPECT_THROW(empty->value = 1, IsNullError);

    // set(nullptr) makes a manager that holds nothing: no throw, sharers join it.
    Ref held;
    held.set(static_cast<Counted*>(nullptr));
    Ref sharer(held);
    EXPECT_TRUE(sharer.isNull());
    EXPECT_EQ(held.getCount(), 2);
    EXPECT_EQ(held.operator->(), nullptr);
}

TEST_F(RefTest, LastOfAnyOrderDeletesOnce)
{
    std::array<int, 3> order{0, 1, 2};
    do {
        Counted::deleted = 0;
        auto* a = new Ref(new Counted(7));
        auto* b = new Ref(*a);
        auto* c = new Ref(*b);
        std::array<Ref*, 3> h{a, b, c};
        for (Ref* r : h) {
            EXPECT_EQ(r->getCount(), 3);
            EXPECT_TRUE(*r == *a);
        }
        delete h[order[0]];
        delete h[order[1]];
        EXPECT_EQ(Counted::deleted, 0);
        EXPECT_EQ(h[order[2]]->getCount(), 1);
        delete h[order[2]];
        EXPECT_EQ(Counted::deleted, 1);
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(RefTest, AssignAndSetShareOrRelease)
{
    Ref a(new Counted(1));
    Ref b(a);
    Ref const& sameObject = a; // through an alias, as self-assignment happens in real code
    a = sameObject;
    a = b;
    EXPECT_EQ(a.getCount(), 2);

    // Equal contents under two managers are two objects.
    Ref other(new Counted(1));
    EXPECT_FALSE(other == a);
    EXPECT_TRUE(other != a.get());

    // set(q) on a sharer: the old object stays with the others.
    b.set(new Counted(2));
    EXPECT_EQ(Counted::deleted, 0);
    EXPECT_EQ(a.getCount(), 1);
    EXPECT_EQ(b->value, 2);

    // set(q) on the last handle deletes the old object.
    a.set(new Counted(3));
    EXPECT_EQ(Counted::deleted, 1);

    // Assigning an empty handle releases.
    a = Ref();
    EXPECT_EQ(Counted::deleted, 2);
    EXPECT_EQ(a.getMgr(), nullptr);

    a = b;
    other = b;
    EXPECT_EQ(Counted::deleted, 3);
    EXPECT_EQ(b.getCount(), 3);
    EXPECT_TRUE(a == other);

    std::map<int, Ref> m;
    m[1] = b;
    m.emplace(2, b);
    EXPECT_EQ(b.getCount(), 5);
    a = Ref();
    other = Ref();
    b = Ref();
    EXPECT_EQ(Counted::deleted, 3);
    m.erase(1);
    m.erase(2);
    EXPECT_EQ(Counted::deleted, 4);
}

TEST_F(RefTest, DestroyAndSetAllDeleteOnce)
{
    Ref a(new Counted(1));
    Ref b(a), c(a);
    b.destroy(true);
    EXPECT_EQ(Counted::deleted, 1);
    for (Ref* r : {&a, &b, &c}) {
        EXPECT_EQ(r->get(), nullptr);
        EXPECT_EQ(r->getCount(), 0);
    }

    // Three sharers of p move onto q, held by two: five sharers of q, p deleted once.
    a.set(new Counted(10));
    b = a;
    c = a;
    Ref q(new Counted(20));
    Ref q2(q);
    a.setAll(q);
    EXPECT_EQ(Counted::deleted, 2);
    for (Ref* r : {&a, &b, &c, &q, &q2}) {
        EXPECT_EQ(r->getCount(), 5);
        EXPECT_EQ((*r)->value, 20);
    }
    a.setAll(q2); // same manager: nothing
    EXPECT_EQ(a.getCount(), 5);

    // setAll(T*) and the *= forms dispose of the old object.
    b.setAll(new Counted(30));
    EXPECT_EQ(Counted::deleted, 3);
    EXPECT_EQ(q->value, 30);
    EXPECT_EQ(q.getCount(), 5);
    c.setAll(c.get()); // already held: must not be handed to a second manager
    EXPECT_EQ(Counted::deleted, 3);

    Ref r(new Counted(40));
    q *= r;
    EXPECT_EQ(Counted::deleted, 4);
    EXPECT_EQ(r.getCount(), 6);
    Ref s(new Counted(50));
    q *= s.getMgr();
    EXPECT_EQ(Counted::deleted, 5);
    EXPECT_EQ(s.getCount(), 7);

    // setAll(manager) hands the emptied old manager back, still owning its object.
    Ref t(new Counted(60));
    rtl::refmgr<Counted>* old = t.setAll(s.getMgr());
    EXPECT_EQ(Counted::deleted, 5);
    EXPECT_EQ(t.getCount(), 8);
    delete old;
    EXPECT_EQ(Counted::deleted, 6);

    // An empty source acts as destroy.
    a.setAll(Ref());
    EXPECT_EQ(Counted::deleted, 7);
    EXPECT_EQ(s.getCount(), 0);

    Ref lone;
    lone.setAll(new Counted(70));
    EXPECT_EQ(lone.getCount(), 1);
    lone.destroy(true);
    EXPECT_EQ(Counted::deleted, 8);
}

TEST_F(RefTest, AssignFromMemberOfOwnObject)
{
    Node::deleted = 0;
    rtl::ref<Node> a = chainOf(4);
    a = a->next;
    EXPECT_EQ(a->value, 1);
    EXPECT_EQ(Node::deleted, 1);
    a.set(a->next);
    EXPECT_EQ(a->value, 2);
    a.setAll(a->next);
    EXPECT_EQ(a->value, 3);
    EXPECT_EQ(a.getCount(), 1);
    EXPECT_EQ(Node::deleted, 3);

    rtl::ref<Node> b = chainOf(2);
    b *= b->next;
    EXPECT_EQ(b->value, 1);
    EXPECT_EQ(b.getCount(), 1);
    EXPECT_EQ(Node::deleted, 4);
}

TEST(RefDeathTest, RefusedUses)
{
    EXPECT_DEATH(
        {
            Ref r;
            r = static_cast<Counted*>(nullptr);
        },
        "ASSERTION FAILED: 0 ");
    EXPECT_DEATH(
        {
            auto* p = new Counted;
            Ref r(p);
            r.set(p);
        },
        "ASSERTION FAILED: r != myCnt->myData");
    EXPECT_DEATH(
        {
            Ref r;
            r.set(static_cast<Counted*>(nullptr));
            r.set(static_cast<Counted*>(nullptr));
        },
        "ASSERTION FAILED: r != myCnt->myData");
}
