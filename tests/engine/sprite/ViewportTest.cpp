#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "engine/sprite/Vdisplay.h"
#include "engine/sprite/Viewport.h"
#include "runtime/Runtime.h"
#include "runtime/VirtualClock.h"
#include "tests/engine/sprite/FakePlatform.h"

using namespace fairholm;
using fairholm::test::FakePlatform;

namespace {

std::vector<std::vector<int32_t>> dirty(const Viewport& v) {
    std::vector<std::vector<int32_t>> list;
    for (int32_t i = 0; i < v.dirtyCount() / 4; ++i) {
        const int32_t* r = v.dirtyRect(i);
        list.push_back({r[0], r[1], r[2], r[3]});
    }
    return list;
}

Ref<Viewport> screen(int32_t w = 100, int32_t h = 100) {
    Ref<Viewport> v = make<Viewport>();
    v->setSize(w, h);
    v->clearDirty();
    return v;
}

class ClockScope {
public:
    ClockScope() : clock(make<VirtualClock>(1000)) { Runtime::setClock(clock); }
    ~ClockScope() { Runtime::setClock(nullptr); }
    Ref<VirtualClock> clock;
};

}  // namespace

TEST(ViewportDirty, TouchingAlongHorizontalEdgeMergesVerticalDoesNot) {
    Ref<Viewport> v = screen();
    v->invalidateRect(0, 0, 10, 10);
    v->invalidateRect(0, 10, 10, 20);
    EXPECT_EQ(dirty(*v), (std::vector<std::vector<int32_t>>{{0, 0, 10, 20}}));
    v->clearDirty();
    v->invalidateRect(0, 0, 10, 10);
    v->invalidateRect(10, 0, 20, 10);
    EXPECT_EQ(dirty(*v), (std::vector<std::vector<int32_t>>{{0, 0, 10, 10}, {10, 0, 20, 10}}));
}

TEST(ViewportDirty, ContainedRectangleChangesNothingAndClipsToBounds) {
    Ref<Viewport> v = screen();
    v->invalidateRect(0, 0, 50, 50);
    v->invalidateRect(10, 10, 20, 20);
    EXPECT_EQ(dirty(*v), (std::vector<std::vector<int32_t>>{{0, 0, 50, 50}}));
    v->clearDirty();
    v->invalidateRect(-10, -10, 5, 200);
    EXPECT_EQ(dirty(*v), (std::vector<std::vector<int32_t>>{{0, 0, 5, 100}}));
    v->invalidateRect(200, 0, 300, 10);  // outside: empty after clipping
    EXPECT_EQ(v->dirtyCount(), 4);
}

TEST(ViewportDirty, NinthDisjointIsLostButOverlappingMerges) {
    Ref<Viewport> v = screen();
    for (int32_t i = 0; i < 8; ++i) {
        v->invalidateRect(i * 10, 0, i * 10 + 5, 5);
    }
    EXPECT_EQ(v->dirtyCount(), 32);
    v->invalidateRect(0, 50, 5, 55);
    EXPECT_EQ(v->dirtyCount(), 32);
    v->invalidateRect(2, 2, 7, 7);
    EXPECT_EQ(v->dirtyCount(), 32);
    auto list = dirty(*v);
    EXPECT_EQ(list.back(), (std::vector<int32_t>{0, 0, 7, 7}));
}

TEST(ViewportDirty, MergeRestartsAndSwallowsChains) {
    Ref<Viewport> v = screen();
    v->invalidateRect(0, 0, 10, 10);
    v->invalidateRect(20, 0, 30, 10);
    v->invalidateRect(5, 5, 25, 8);  // joins both
    EXPECT_EQ(dirty(*v), (std::vector<std::vector<int32_t>>{{0, 0, 30, 10}}));
}

TEST(ViewportDirty, ChildViewportForwardsToParent) {
    Ref<Viewport> root = screen();
    Ref<Viewport> inner = make<Viewport>();
    root->addChild(inner);
    inner->setSize(10, 10);
    EXPECT_EQ(inner->dirtyCount(), 0);
    EXPECT_EQ(dirty(*root), (std::vector<std::vector<int32_t>>{{0, 0, 10, 10}}));
    root->removeAllChildren();
}

TEST(ViewportSize, SameSizeKeepsBufferNewSizeMarksAllDirty) {
    Ref<Viewport> v = make<Viewport>();
    v->setSize(4, 3);
    EXPECT_EQ(v->backBuffer().length(), 12);
    EXPECT_EQ(dirty(*v), (std::vector<std::vector<int32_t>>{{0, 0, 4, 3}}));
    v->backBuffer()[5] = 77;
    v->setSize(4, 3);
    EXPECT_EQ(v->backBuffer()[5], 77);
    v->setSize(2, 2);
    EXPECT_EQ(v->backBuffer()[3], 0);
    EXPECT_EQ(v->right(), 2);
}

TEST(ViewportRepaint, PaintsDirtyRectsAndPresentsDoubled) {
    Ref<FakePlatform> platform = make<FakePlatform>();
    platform->highResolution = true;
    Ref<Viewport> v = make<Viewport>();
    v->setDisplay(make<Vdisplay>(platform));
    v->setSize(8, 8);
    v->setColour(static_cast<int32_t>(0xFF000000u));
    Ref<Vsprite> s = make<Vsprite>();
    s->setSize(2, 2);
    s->setPosition(3, 3);
    s->setColour(static_cast<int32_t>(0xFF112233u));
    v->addChild(s);
    v->repaint();
    EXPECT_EQ(v->dirtyCount(), 0);
    EXPECT_EQ(static_cast<uint32_t>(v->backBuffer()[3 * 8 + 3]), 0xFF112233u);
    EXPECT_EQ(static_cast<uint32_t>(v->backBuffer()[2 * 8 + 2]), 0xFF000000u);
    ASSERT_EQ(platform->invalidated.size(), 1u);
    EXPECT_EQ(platform->invalidated[0], (FakePlatform::Rect{0, 0, 16, 16}));
    // A steady scene repaints nothing.
    v->repaint();
    EXPECT_EQ(platform->invalidated.size(), 1u);
    s->moveBy(0x8000, 0);
    v->repaint();
    ASSERT_EQ(platform->invalidated.size(), 2u);
    EXPECT_EQ(platform->invalidated[1], (FakePlatform::Rect{6, 6, 12, 10}));
    EXPECT_EQ(static_cast<uint32_t>(v->backBuffer()[3 * 8 + 3]), 0xFF000000u);
    EXPECT_EQ(static_cast<uint32_t>(v->backBuffer()[3 * 8 + 5]), 0xFF112233u);
    v->stop();
    s->moveBy(0x8000, 0);
    v->repaint();
    EXPECT_EQ(platform->invalidated.size(), 2u);
    v->removeAllChildren();
}

TEST(ViewportRepaint, PaintCopiesTheBackBufferWithTags) {
    Ref<Viewport> v = screen(2, 2);
    v->setBounds(1, 1, 3, 3);
    v->backBuffer()[0] = 0x0A000001;
    v->backBuffer()[3] = 0x0B000004;
    IntArray fb = newIntArray(16);
    v->paint(fb, 4, 4, 0, 0, 4, 4);
    EXPECT_EQ(fb[1 * 4 + 1], 0x0A000001);
    EXPECT_EQ(fb[2 * 4 + 2], 0x0B000004);
    EXPECT_EQ(fb[0], 0);
    EXPECT_EQ(fb[3 * 4 + 3], 0);
}

TEST(ViewportKeys, ActionIgnoredWhileUpIsHeld) {
    Ref<Viewport> v = screen();
    v->keyPressed(3);
    EXPECT_EQ(v->nextKey(), 3);
    v->keyPressed(5);
    EXPECT_TRUE(v->isKeyDown(5));
    EXPECT_EQ(v->nextKey(), 0);
    v->keyReleased(3);
    v->keyPressed(5);
    EXPECT_EQ(v->nextKey(), 5);
    EXPECT_TRUE(v->keyIs(0, 5));
    EXPECT_TRUE(v->keyIs(9, 9));
    EXPECT_FALSE(v->keyIs(9, 8));
}

TEST(ViewportKeys, QueueHoldsNineAndDropsTheTenth) {
    Ref<Viewport> v = screen();
    for (int32_t i = 0; i < 10; ++i) {
        v->keyPressed(48 + i);
    }
    for (int32_t i = 0; i < 9; ++i) {
        EXPECT_EQ(v->nextKey(), 48 + i);
    }
    EXPECT_EQ(v->nextKey(), 0);
    v->keyPressed(100);
    EXPECT_EQ(v->nextKey(), 100);
}

TEST(ViewportKeys, HighAndNegativeCodesNeverReachTheBits) {
    Ref<Viewport> v = screen();
    v->keyPressed(57);
    EXPECT_TRUE(v->isKeyDown(57));
    v->keyPressed(58);
    EXPECT_FALSE(v->isKeyDown(58));
    v->keyPressed(-23);
    EXPECT_FALSE(v->isKeyDown(-23));
    v->keyReleased(-23);
    v->keyReleased(57);
    EXPECT_FALSE(v->isKeyDown(57));
    EXPECT_EQ(v->nextKey(), 57);
    EXPECT_EQ(v->nextKey(), 58);
    EXPECT_EQ(v->nextKey(), -23);  // queued as a signed byte
}

TEST(ViewportKeys, SingleProducerSingleConsumerAcrossThreads) {
    Ref<Viewport> v = screen();
    constexpr int32_t total = 5000;
    std::atomic<int32_t> consumed{0};
    std::thread producer([&] {
        for (int32_t i = 0; i < total; ++i) {
            // Keep at most 8 codes in flight so that none is dropped.
            while (i - consumed.load(std::memory_order_acquire) >= 8) {
                std::this_thread::yield();
            }
            v->keyPressed(60 + i % 60);
        }
    });
    bool inOrder = true;
    for (int32_t i = 0; i < total;) {
        const int32_t k = v->nextKey();
        if (k == 0) {
            std::this_thread::yield();
            continue;
        }
        inOrder = inOrder && k == 60 + i % 60;
        ++i;
        consumed.store(i, std::memory_order_release);
    }
    producer.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(v->nextKey(), 0);
}

TEST(ViewportKeys, KeyBitsAndPointerFromTheWindowThread) {
    Ref<Viewport> v = screen();
    std::thread ui([&] {
        v->setPointer(50, 100);
        v->keyPressed(5);
        v->keyPressed(4);
        v->keyReleased(4);
    });
    ui.join();
    EXPECT_EQ(v->pointerX(), 50);
    EXPECT_EQ(v->pointerY(), 100);
    EXPECT_TRUE(v->isKeyDown(5));
    EXPECT_FALSE(v->isKeyDown(4));
    EXPECT_EQ(v->nextKey(), 5);
    EXPECT_EQ(v->nextKey(), 4);
}

TEST(ViewportClock, WaitFrameSleepsTheRestOfTheFrame) {
    ClockScope scope;
    Ref<Viewport> v = screen();
    v->setDisplay(nullptr);
    EXPECT_EQ(v->lastFrameTime(), 1000u);
    scope.clock->advance(3);
    EXPECT_EQ(v->waitFrame(10), 1010);
    EXPECT_EQ(v->frameDelta(), 10);
    scope.clock->advance(25);  // a late frame does not sleep
    EXPECT_EQ(v->waitFrame(10), 1035);
    EXPECT_EQ(v->frameDelta(), 25);
    v->stop();
    EXPECT_EQ(v->waitFrame(10), 0);
    EXPECT_FALSE(v->isRunning());
}

TEST(ViewportClock, WaitFrameAcrossTheTickWrap) {
    ClockScope scope;
    scope.clock->setTime(0xFFFFFFFBu);
    Ref<Viewport> v = screen();
    v->setDisplay(nullptr);
    scope.clock->advance(2);
    EXPECT_EQ(static_cast<uint32_t>(v->waitFrame(16)), 0xFFFFFFFBu + 16);
    EXPECT_EQ(v->frameDelta(), 16);
}

TEST(ViewportReveal, ColumnsFlushEightPixelStripsAndClearDirty) {
    ClockScope scope;
    Ref<FakePlatform> platform = make<FakePlatform>();
    Ref<Viewport> v = make<Viewport>();
    v->setDisplay(make<Vdisplay>(platform));
    v->setSize(20, 10);
    v->setColour(static_cast<int32_t>(0xFF445566u));
    v->revealColumns();
    ASSERT_EQ(platform->invalidated.size(), 3u);
    EXPECT_EQ(platform->invalidated[2], (FakePlatform::Rect{16, 0, 20, 10}));
    EXPECT_EQ(v->dirtyCount(), 0);
    EXPECT_EQ(static_cast<uint32_t>(v->backBuffer()[199]), 0xFF445566u);
    EXPECT_EQ(scope.clock->currentTimeMillis(), 1030u);
    platform->invalidated.clear();
    v->revealRows();  // nothing dirty: nothing flushed
    EXPECT_TRUE(platform->invalidated.empty());
    v->invalidateRect(0, 0, 1, 1);
    v->revealRows();
    ASSERT_EQ(platform->invalidated.size(), 2u);
    EXPECT_EQ(platform->invalidated[1], (FakePlatform::Rect{0, 8, 20, 10}));
}

TEST(ViewportMisc, IsOnScreen) {
    Ref<Viewport> v = screen(10, 10);
    Ref<Vsprite> s = make<Vsprite>();
    s->setBounds(5, 5, 15, 15);
    EXPECT_TRUE(v->isOnScreen(*s));
    s->setBounds(10, 0, 12, 5);
    EXPECT_FALSE(v->isOnScreen(*s));
    s->setBounds(3, 3, 3, 5);
    EXPECT_FALSE(v->isOnScreen(*s));
}
