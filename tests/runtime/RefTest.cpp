#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/Array.h"
#include "runtime/Ref.h"

using namespace fairholm;

namespace {

// Records its destruction in a shared log, and may own another object.
class Probe : public Object {
public:
    Probe(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
    ~Probe() override { log.push_back(name); }

    std::vector<std::string>& log;
    std::string name;
    Ref<Probe> child;
};

// Records what the slot it is stored in holds while it is being destroyed.
class SlotWatcher : public Object {
public:
    SlotWatcher(const Ref<Object>* slot, Object** seen) : slot(slot), seen(seen) {}
    ~SlotWatcher() override { *seen = slot->ptr(); }
    const Ref<Object>* slot;
    Object** seen;
};

}  // namespace

TEST(Ref, CountsStoresCopiesAndReleases) {
    std::vector<std::string> log;
    Ref<Probe> a = make<Probe>(log, "a");
    EXPECT_EQ(a->refCount(), 1);
    {
        Ref<Probe> b = a;
        EXPECT_EQ(a->refCount(), 2);
        Ref<Probe> moved = std::move(b);
        EXPECT_EQ(a->refCount(), 2);
        EXPECT_TRUE(b.isNull());
    }
    EXPECT_EQ(a->refCount(), 1);
    a.release();
    EXPECT_TRUE(a.isNull());
    EXPECT_EQ(log, std::vector<std::string>{"a"});
    a.release();  // releasing an empty slot does nothing
    EXPECT_EQ(log.size(), 1u);
}

TEST(Ref, AssignDestroysLastHeldObjectBeforeStoringTheNewOne) {
    std::vector<std::string> log;
    Ref<Object> slot = make<Probe>(log, "old");
    Ref<Object> incoming = make<Probe>(log, "new");
    slot.assign(incoming.ptr());
    EXPECT_EQ(log, std::vector<std::string>{"old"});
    EXPECT_EQ(slot.ptr(), incoming.ptr());
    EXPECT_EQ(incoming->refCount(), 2);

    // While the old object is destroyed, the slot does not hold the new one yet.
    Object* seen = incoming.ptr();
    slot = make<SlotWatcher>(&slot, &seen);
    slot = incoming;
    EXPECT_EQ(seen, nullptr);
    EXPECT_EQ(slot.ptr(), incoming.ptr());
}

TEST(Ref, SelfAssignmentAndAssigningAnObjectOwnedByTheOldOne) {
    std::vector<std::string> log;
    Ref<Probe> slot = make<Probe>(log, "only");
    slot.assign(slot.ptr());  // the only reference: must survive
    ASSERT_TRUE(slot);
    EXPECT_EQ(slot->refCount(), 1);
    EXPECT_TRUE(log.empty());

    // The new object is kept alive only by the old one.
    slot->child = make<Probe>(log, "child");
    Probe* child = slot->child.ptr();
    slot = child;
    EXPECT_EQ(log, std::vector<std::string>{"only"});
    EXPECT_EQ(slot->name, "child");
    EXPECT_EQ(slot->refCount(), 1);
}

TEST(Ref, DestructionCascadesThroughOwnedHandles) {
    std::vector<std::string> log;
    Ref<Probe> root = make<Probe>(log, "root");
    root->child = make<Probe>(log, "child");
    root->child->child = make<Probe>(log, "grandchild");
    root = nullptr;
    EXPECT_EQ(log, (std::vector<std::string>{"root", "child", "grandchild"}));
}

TEST(Array, EmptyArraysHaveNoBlock) {
    ByteArray empty = newByteArray(0);
    EXPECT_EQ(empty.length(), 0);
    EXPECT_EQ(empty.data(), nullptr);
    EXPECT_EQ(empty.shareCount(), 0);
    ByteArray copy = empty;
    EXPECT_EQ(copy.data(), nullptr);
    copy.release();
    EXPECT_EQ(newIntArray(-5).length(), 0);
}

TEST(Array, ElementsStartZeroAndCopiesShareTheBlock) {
    IntArray a = newIntArray(4);
    ASSERT_EQ(a.length(), 4);
    for (int32_t v : a) {
        EXPECT_EQ(v, 0);
    }
    EXPECT_EQ(a.shareCount(), 1);
    IntArray b = a;
    EXPECT_EQ(a.shareCount(), 2);
    b[2] = 7;
    EXPECT_EQ(a[2], 7);
    b = newIntArray(2);  // assigning releases the old share first
    EXPECT_EQ(a.shareCount(), 1);
    ShortArray s = newShortArray(3);
    EXPECT_EQ(s.length(), 3);
}

TEST(Array, HandleArrayReleasesElementsLastToFirst) {
    std::vector<std::string> log;
    Ref<Probe> kept = make<Probe>(log, "kept");
    {
        HandleArray<Probe> handles = newHandleArray<Probe>(4);
        EXPECT_TRUE(handles[0].isNull());
        handles[0] = make<Probe>(log, "0");
        handles[1] = kept;
        handles[2] = make<Probe>(log, "2");
        handles[3] = make<Probe>(log, "3");
        HandleArray<Probe> share = handles;
        share.release();
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(log, (std::vector<std::string>{"3", "2", "0"}));
    EXPECT_EQ(kept->refCount(), 1);
}
