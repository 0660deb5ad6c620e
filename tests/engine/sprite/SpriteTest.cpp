#include <gtest/gtest.h>

#include <vector>

#include "engine/sprite/Viewport.h"
#include "engine/sprite/Vsprite.h"

using namespace fairholm;

namespace {

// A root that records every rectangle invalidated on it.
class RecordingRoot final : public Vsprite {
public:
    struct Rect {
        int32_t l, t, r, b;
    };
    std::vector<Rect> rects;
    int32_t repaints = 0;
    void invalidateRect(int32_t l, int32_t t, int32_t r, int32_t b) override {
        rects.push_back({l, t, r, b});
    }
    void repaint() override { ++repaints; }
};

Ref<Vsprite> box(int32_t w, int32_t h, fixed z = 0) {
    Ref<Vsprite> s = make<Vsprite>();
    s->setSize(w, h);
    s->setZ(z);
    return s;
}

std::vector<Vsprite*> children(const Vsprite& parent) {
    std::vector<Vsprite*> list;
    for (Vsprite* c = parent.firstChild(); c; c = c->next()) {
        list.push_back(c);
    }
    return list;
}

}  // namespace

TEST(SpriteDefaults, NewSpriteHasTheDocumentedDefaults) {
    Ref<Vsprite> s = make<Vsprite>();
    EXPECT_EQ(s->getOpacity(), 0x8000);
    EXPECT_EQ(s->getScale(), 0x8000);
    EXPECT_EQ(s->minScale(), 1);
    EXPECT_EQ(s->maxScale(), 0x7FFFFFFF);
    EXPECT_EQ(s->effectiveScale(), 0);
    EXPECT_FALSE(s->hasParent());
    EXPECT_EQ(s->getFirstChild(), nullptr);
}

TEST(SpriteChildren, ZOrderFiveThreeFiveKeepsInsertionOrderForEqualZ) {
    Ref<Vsprite> parent = make<Vsprite>();
    Ref<Vsprite> a = box(1, 1, 5 << 15);
    Ref<Vsprite> b = box(1, 1, 3 << 15);
    Ref<Vsprite> c = box(1, 1, 5 << 15);
    parent->addChild(a);
    parent->addChild(b);
    parent->addChild(c);
    EXPECT_EQ(children(*parent), (std::vector<Vsprite*>{a.ptr(), c.ptr(), b.ptr()}));
    EXPECT_EQ(a->getParent(), parent);
    // Painting follows the list: the later 5 paints over the first, the 3 over both.
    IntArray fb = newIntArray(1);
    a->setColour(static_cast<int32_t>(0xFF0000AA));
    c->setColour(static_cast<int32_t>(0xFF0000BB));
    b->setColour(static_cast<int32_t>(0xFF0000CC));
    parent->layout(0, 0, 0x8000);
    parent->paint(fb, 1, 1, 0, 0, 1, 1);
    EXPECT_EQ(static_cast<uint32_t>(fb[0]), 0xFF0000CCu);
    parent->removeAllChildren();
}

TEST(SpriteChildren, AddChildWithParentIsIgnoredAndAppendChildIgnoresZ) {
    Ref<Vsprite> p1 = make<Vsprite>();
    Ref<Vsprite> p2 = make<Vsprite>();
    Ref<Vsprite> a = box(1, 1, 1 << 15);
    Ref<Vsprite> b = box(1, 1, 9 << 15);
    p1->addChild(a);
    p2->addChild(a);
    EXPECT_EQ(a->getParent(), p1);
    EXPECT_EQ(p2->getFirstChild(), nullptr);
    p1->appendChild(b);
    EXPECT_EQ(children(*p1), (std::vector<Vsprite*>{a.ptr(), b.ptr()}));
    p1->removeAllChildren();
}

TEST(SpriteChildren, RemoveChildUnlinksInvalidatesAndIgnoresStrangers) {
    Ref<RecordingRoot> root = make<RecordingRoot>();
    Ref<Vsprite> a = box(4, 4);
    Ref<Vsprite> b = box(4, 4);
    Ref<Vsprite> stranger = box(4, 4);
    Ref<Vsprite> other = make<Vsprite>();
    other->addChild(stranger);
    root->appendChild(a);
    root->appendChild(b);
    root->layout(0, 0, 0x8000);
    root->rects.clear();
    root->removeChild(stranger);
    EXPECT_EQ(stranger->getParent(), other);
    EXPECT_TRUE(root->rects.empty());
    root->removeChild(a);
    EXPECT_FALSE(a->hasParent());
    EXPECT_EQ(a->next(), nullptr);
    EXPECT_EQ(children(*root), (std::vector<Vsprite*>{b.ptr()}));
    ASSERT_EQ(root->rects.size(), 1u);
    EXPECT_EQ(root->rects[0].r, 4);
    b->removeFromParent();
    EXPECT_EQ(root->getFirstChild(), nullptr);
    other->removeAllChildren();
}

TEST(SpriteChildren, RemovedChildIsDestroyedWhenLastHandleGoes) {
    Ref<Vsprite> parent = make<Vsprite>();
    Vsprite* raw;
    {
        Ref<Vsprite> child = box(1, 1);
        raw = child.ptr();
        parent->addChild(child);
        EXPECT_EQ(parent->refCount(), 2);
    }
    EXPECT_EQ(raw->refCount(), 1);
    parent->removeAllChildren();
    EXPECT_EQ(parent->refCount(), 1);
}

TEST(SpriteRows, AppendRowStacksWithMargin) {
    Vsprite::setRowMargin(2);
    Ref<Vsprite> panel = make<Vsprite>();
    Ref<Vsprite> r1 = box(20, 10);
    Ref<Vsprite> r2 = box(30, 12);
    Ref<Vsprite> r3 = box(25, 8);
    panel->appendRow(r1);
    panel->appendRow(r2);
    panel->appendRow(r3);
    EXPECT_EQ(r1->getY(), 0);
    EXPECT_EQ(r2->getY(), 10 << 15);
    EXPECT_EQ(r3->getY(), 22 << 15);
    EXPECT_EQ(r1->getX(), 2 << 15);
    EXPECT_EQ(panel->getHeight(), 30);
    EXPECT_EQ(panel->getWidth(), 34);
    panel->removeAllChildren();
}

TEST(SpriteRows, ARowThatCannotBeLinkedIsNotStacked) {
    Vsprite::setRowMargin(2);
    Ref<Vsprite> panel = make<Vsprite>();
    Ref<Vsprite> other = make<Vsprite>();
    Ref<Vsprite> row = box(40, 10);
    row->setPosition(7, 9);
    other->appendRow(row);
    const int32_t width = panel->getWidth();
    panel->appendRow(row);  // it has a parent already
    panel->appendRowCentered(row);
    panel->appendRow(panel);
    EXPECT_EQ(panel->getHeight(), 0);
    EXPECT_EQ(panel->getWidth(), width);
    EXPECT_EQ(row->parent(), other.ptr());
    EXPECT_EQ(row->getX(), 2 << 15);  // where the first panel stacked it
    EXPECT_EQ(row->getY(), 0);
    EXPECT_EQ(panel->firstChild(), nullptr);
    other->removeAllChildren();
}

TEST(SpriteRows, CentredPlacements) {
    Vsprite::setRowMargin(2);
    Ref<Vsprite> panel = make<Vsprite>();
    panel->setSize(41, 20);
    Ref<Vsprite> c = box(10, 5);
    panel->appendCentered(c);
    EXPECT_EQ(c->getX(), 15 << 15);
    EXPECT_EQ(c->getY(), 7 << 15);
    Ref<Vsprite> row = box(10, 4);
    panel->appendRowCentered(row);
    EXPECT_EQ(row->getX(), 31 * 0x4000);  // half pixel
    EXPECT_EQ(row->getY(), 20 << 15);
    Ref<Vsprite> s = box(10, 10);
    s->centreIn(0, 0, 30, 5);  // too tall: sits on the bottom edge
    EXPECT_EQ(s->getX(), 10 << 15);
    EXPECT_EQ(s->getY(), -5 << 15);
    panel->removeAllChildren();
}

TEST(SpriteLayout, SnapToPixelTruncatesOtherwiseRoundsUp) {
    Ref<Vsprite> s = box(4, 4);
    s->setPositionFixed(0x54000, 0);
    s->layout(0, 0, 0x8000);
    EXPECT_EQ(s->left(), 11);
    s->setSnapToPixel(true);
    s->invalidateTree();
    s->layout(0, 0, 0x8000);
    EXPECT_EQ(s->left(), 10);
    EXPECT_EQ(s->right(), 14);
}

TEST(SpriteLayout, UnchangedLayoutInvalidatesNothingColourChangeInvalidatesTwice) {
    Ref<RecordingRoot> root = make<RecordingRoot>();
    Ref<Vsprite> s = box(10, 10);
    s->setPosition(5, 5);
    root->addChild(s);
    root->layout(0, 0, 0x8000);
    root->rects.clear();
    root->layout(0, 0, 0x8000);
    EXPECT_TRUE(root->rects.empty());
    s->setColour(1);
    root->layout(0, 0, 0x8000);
    ASSERT_EQ(root->rects.size(), 2u);
    EXPECT_EQ(root->rects[0].l, 5);
    EXPECT_EQ(root->rects[1].r, 15);
    root->removeAllChildren();
}

TEST(SpriteLayout, NestedScalesMultiplyAndClamp) {
    Ref<Vsprite> parent = make<Vsprite>();
    parent->setScale(0x4000);
    Ref<Vsprite> child = box(8, 8);
    child->setScale(0x4000);
    child->setPosition(4, 0);
    parent->addChild(child);
    parent->layout(0, 0, 0x8000);
    EXPECT_EQ(child->effectiveScale(), 0x2000);
    EXPECT_EQ(child->left(), 2);   // 4 pixels at the parent's half scale
    EXPECT_EQ(child->right(), 4);  // 8 pixels at a quarter
    child->setMinScale(0x3000);
    child->invalidateTree();
    parent->layout(0, 0, 0x8000);
    EXPECT_EQ(child->effectiveScale(), 0x3000);
    child->setMaxScale(0x1000);
    child->invalidateTree();
    parent->layout(0, 0, 0x8000);
    EXPECT_EQ(child->effectiveScale(), 0x1000);  // max wins over min
    parent->removeAllChildren();
}

TEST(SpriteLayout, AnchorAndSlantedBounds) {
    Ref<Vsprite> s = box(10, 8);
    s->setAnchor(5, 8);
    s->setPosition(20, 30);
    s->layout(0, 0, 0x8000);
    EXPECT_EQ(s->left(), 15);
    EXPECT_EQ(s->top(), 22);
    EXPECT_EQ(s->bottom(), 30);
    s->setSlanted(true);
    s->invalidateTree();
    s->layout(0, 0, 0x8000);
    EXPECT_EQ(s->left(), 11);  // extended by half the height
    EXPECT_FALSE(s->hitTest(12, 25));
    EXPECT_TRUE(s->hitTest(15, 25));
}

TEST(SpriteLayout, ContainersComputeNoBounds) {
    Ref<Vsprite> c = make<Vsprite>();
    c->setPosition(5, 5);
    Ref<Vsprite> child = box(2, 2);
    c->addChild(child);
    c->layout(0, 0, 0x8000);
    EXPECT_EQ(c->right(), 0);
    EXPECT_EQ(child->left(), 5);
    EXPECT_TRUE(c->hitTest(5, 5));  // through the child
    EXPECT_FALSE(c->hitTest(7, 5));
    c->removeAllChildren();
}

TEST(SpriteLayout, LayoutKeyFormula) {
    Ref<Vsprite> s = box(3, 4);
    s->setColour(100);
    EXPECT_EQ(s->layoutKey(7, 9, 0x8000), 3 + ((4 + 9) << 10) + 0 + 100 + 0x8000 + 7 + 0x8000);
}

TEST(SpriteFill, AlphaCases) {
    Ref<Vsprite> s = make<Vsprite>();
    IntArray fb = newIntArray(4);
    for (auto& p : fb) {
        p = 0x00FFFFFF;
    }
    s->fillRect(fb, 2, 2, 0, 0, 1, 1, static_cast<int32_t>(0x80000000u));
    EXPECT_EQ(static_cast<uint32_t>(fb[0]), 0x007F7F7Fu);
    s->fillRect(fb, 2, 2, 1, 0, 2, 1, 0x00123456);  // alpha 0: nothing
    EXPECT_EQ(static_cast<uint32_t>(fb[1]), 0x00FFFFFFu);
    s->fillRect(fb, 2, 2, 0, 1, 2, 2, static_cast<int32_t>(0xFF102030u));
    EXPECT_EQ(static_cast<uint32_t>(fb[2]), 0xFF102030u);
    EXPECT_EQ(static_cast<uint32_t>(fb[3]), 0xFF102030u);
    s->fillRect(fb, 2, 2, 1, 0, 2, 1, static_cast<int32_t>(0x40FF0000u));
    // red: (255*191>>8) + (255*64>>8) = 190 + 63; green and blue: 190
    EXPECT_EQ(static_cast<uint32_t>(fb[1]), (253u << 16) | (190u << 8) | 190u);
}

TEST(SpriteFill, OpaqueFillCopiesRowsAndStaysInsideTheBuffer) {
    Ref<Vsprite> s = make<Vsprite>();
    IntArray fb = newIntArray(12);
    s->fillRect(fb, 4, 3, -5, -5, 100, 100, -1);
    for (int32_t p : fb) {
        EXPECT_EQ(p, -1);
    }
    IntArray small = newIntArray(5);  // not a whole number of rows
    s->fillRect(small, 4, 3, 0, 0, 4, 3, -1);
    EXPECT_EQ(small[4], 0);
}

TEST(SpritePaint, GradientRowsAndPrunedChildren) {
    Ref<Vsprite> s = box(1, 4);
    s->setColour(static_cast<int32_t>(0xFF000000u));
    s->setGradientColour(static_cast<int32_t>(0xFF0000FFu));
    s->layout(0, 0, 0x8000);
    IntArray fb = newIntArray(4);
    s->paint(fb, 1, 4, 0, 0, 1, 4);
    // f = 0x2000: rows at t = 0, 0x2000, 0x4000, 0x6000 of 0xFF
    EXPECT_EQ(static_cast<uint32_t>(fb[0]), 0xFF000000u);
    EXPECT_EQ(static_cast<uint32_t>(fb[1]), 0xFF00003Fu);
    EXPECT_EQ(static_cast<uint32_t>(fb[2]), 0xFF00007Fu);
    EXPECT_EQ(static_cast<uint32_t>(fb[3]), 0xFF0000BFu);

    Ref<Vsprite> flat = box(0, 0);
    flat->setColour(5);
    flat->setGradientColour(7);
    flat->paint(fb, 1, 4, 0, 0, 1, 4);  // height 0: no rows, no division

    Ref<Vsprite> parent = box(1, 4);
    Ref<Vsprite> far = box(1, 1);
    far->setPosition(0, 3);
    far->setColour(-1);
    Ref<Vsprite> grand = box(1, 1);
    grand->setColour(static_cast<int32_t>(0xFF00AA00u));
    far->addChild(grand);  // at (0,3) too, pruned with its parent's subtree
    parent->addChild(far);
    parent->layout(0, 0, 0x8000);
    IntArray fb2 = newIntArray(4);
    parent->paint(fb2, 1, 4, 0, 0, 1, 2);
    EXPECT_EQ(fb2[3], 0);
    parent->paint(fb2, 1, 4, 0, 0, 1, 4);
    EXPECT_EQ(static_cast<uint32_t>(fb2[3]), 0xFF00AA00u);
    far->removeAllChildren();
    parent->removeAllChildren();
}

TEST(SpriteMisc, DescribeWorldAndMoves) {
    Ref<Vsprite> s = make<Vsprite>();
    s->setFrame(12);
    EXPECT_EQ(std::string(s->describe()->chars()), "Sprite image 12");
    s->setWorldPosition(1, 2, 3);
    s->moveWorldBy(10, 20, 30);
    EXPECT_EQ(s->getWorldX(), 11);
    EXPECT_EQ(s->getWorldY(), 22);
    EXPECT_EQ(s->getWorldZ(), 33);
    s->moveBy(0x8000, -0x4000);
    EXPECT_EQ(s->getX(), 0x8000);
    EXPECT_EQ(s->getY(), -0x4000);
}

TEST(SpriteMisc, RepaintAndInvalidateGoUpward) {
    Ref<RecordingRoot> root = make<RecordingRoot>();
    Ref<Vsprite> s = box(2, 2);
    root->addChild(s);
    s->repaint();
    EXPECT_EQ(root->repaints, 1);
    s->invalidateRect(5, 5, 5, 9);  // empty horizontally: not forwarded
    EXPECT_TRUE(root->rects.empty());
    root->removeAllChildren();
}

#if !defined(NDEBUG) || defined(FAIRHOLM_ASSERTIONS)
// Builds with the invariant checks on (debug, asan, tsan) stop a tree from closing on
// itself: painting and layout would never end.
TEST(SpriteTreeDeathTest, ASpriteCannotJoinItsOwnSubtree) {
    auto outer = make<Vsprite>();
    auto inner = make<Vsprite>();
    outer->addChild(inner);
    auto top = make<Vsprite>();
    top->addChild(outer);
    EXPECT_DEATH(inner->appendChild(top), "isInside");
    EXPECT_DEATH(inner->addChild(top), "isInside");
    top->dismantle();
}
#endif
