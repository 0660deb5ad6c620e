#pragma once

#include <cstdint>

#include "engine/sprite/Vilib.h"
#include "runtime/Array.h"
#include "runtime/Fixed.h"
#include "runtime/Ref.h"
#include "runtime/String.h"
#include "runtime/V.h"

namespace fairholm {

class Vtext;

// A node of the 2-D scene graph: a picture, a filled or gradient rectangle, or a pure
// container (width 0), with a position relative to its parent, a scale, a depth value
// that orders siblings and tags the pixels drawn, and a list of children ordered by z
// (largest first, painted first).
//
// A parent holds its children through the list; each child holds its parent. The
// cycle is broken by removeChild.
class Vsprite : public V {
public:
    Vsprite() = default;
    ~Vsprite() override;

    // --- operations, in table order ---
    virtual void addChild(Ref<Vsprite> child);
    virtual Ref<Vtext> addTextRow(Ref<String> text);
    virtual void appendRow(Ref<Vsprite> child);
    virtual Ref<Vtext> addTextRowDigits(Ref<String> text, int32_t digits);
    virtual void appendCentered(Ref<Vsprite> child);
    virtual Ref<Vtext> addTextRowCentered(Ref<String> text);
    virtual void appendRowCentered(Ref<Vsprite> child);
    virtual Ref<Vtext> addTextRowCenteredDigits(Ref<String> text, int32_t digits);
    virtual void appendChild(Ref<Vsprite> child);
    virtual void moveWorldBy(int32_t dx, int32_t dy, int32_t dz);
    virtual void moveBy(fixed dx, fixed dy);
    virtual void centreIn(int32_t l, int32_t t, int32_t r, int32_t b);
    virtual int32_t layoutKey(fixed absoluteX, fixed absoluteY, fixed absoluteScale);
    virtual void paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft,
                       int32_t clipTop, int32_t clipRight, int32_t clipBottom);
    virtual void fillRect(const IntArray& pixels, int32_t stride, int32_t rows, int32_t l, int32_t t,
                          int32_t r, int32_t b, int32_t argb);
    virtual void invalidateTree();
    virtual fixed getOpacity() const { return m_opacity; }
    virtual Ref<Vsprite> getFirstChild() const { return m_firstChild; }
    virtual int32_t getHeight() const { return m_height; }
    virtual int32_t getTag() const { return m_tag; }
    virtual int32_t getFrame() const { return m_frame; }
    virtual Ref<Vsprite> getParent() const { return m_parent; }
    virtual fixed getScale() const { return m_scale; }
    virtual int32_t getWidth() const { return m_width; }
    virtual int32_t getWorldX() const { return m_worldX; }
    virtual int32_t getWorldY() const { return m_worldY; }
    virtual int32_t getWorldZ() const { return m_worldZ; }
    virtual fixed getX() const { return m_x; }
    virtual fixed getY() const { return m_y; }
    virtual bool hasParent() const { return m_parent != nullptr; }
    virtual void removeFromParent();
    virtual bool hitTest(int32_t px, int32_t py);
    virtual void invalidateRect(int32_t l, int32_t t, int32_t r, int32_t b);
    virtual void invalidate();
    virtual void releaseImage();
    virtual void removeChild(const Ref<Vsprite>& child);
    virtual void removeAllChildren();
    // Takes the whole subtree apart, deepest children first. Children hold their parent,
    // so a tree that is dropped while still linked keeps itself alive; this breaks every
    // such link before the last handle goes.
    void dismantle();
    virtual void repaint();
    virtual void layout(fixed absoluteX, fixed absoluteY, fixed absoluteScale);
    virtual void computeBounds(fixed absoluteX, fixed absoluteY, fixed absoluteScale);
    virtual void setOpacity(fixed opacity) { m_opacity = opacity; }
    virtual void setAnchor(int32_t ax, int32_t ay) {
        m_anchorX = ax;
        m_anchorY = ay;
    }
    virtual void setColour(int32_t argb) { m_colour = argb; }
    virtual void setGradientColour(int32_t argb) { m_gradientColour = argb; }
    virtual void setBounds(int32_t l, int32_t t, int32_t r, int32_t b) {
        m_left = l;
        m_top = t;
        m_right = r;
        m_bottom = b;
    }
    virtual void setTag(int32_t tag) { m_tag = tag; }
    virtual void setImage(Ref<Vilib> pack, int32_t frame);
    virtual void setFrame(int32_t frame);
    virtual void setScale(fixed scale) { m_scale = scale; }
    virtual void setMaxScale(fixed scale) { m_maxScale = scale; }
    virtual void setMinScale(fixed scale) { m_minScale = scale; }
    virtual void setSize(int32_t w, int32_t h) {
        m_width = w;
        m_height = h;
    }
    virtual void setWorldPosition(int32_t wx, int32_t wy, int32_t wz) {
        m_worldX = wx;
        m_worldY = wy;
        m_worldZ = wz;
    }
    virtual void setPosition(int32_t ix, int32_t iy) {
        m_x = ix << 15;
        m_y = iy << 15;
    }
    virtual void setPositionFixed(fixed fx, fixed fy) {
        m_x = fx;
        m_y = fy;
    }
    virtual void setZ(fixed z) { m_z = z; }
    virtual Ref<String> describe();

    // Whether this sprite is `ancestor` or lies in its subtree.
    bool isInside(const Vsprite& ancestor) const;

    // --- plain accessors of the node's state ---
    Vsprite* firstChild() const { return m_firstChild.ptr(); }
    Vsprite* next() const { return m_next.ptr(); }
    Vsprite* parent() const { return m_parent.ptr(); }
    int32_t colour() const { return m_colour; }
    int32_t gradientColour() const { return m_gradientColour; }
    int32_t storedLayoutKey() const { return m_layoutKey; }
    void setStoredLayoutKey(int32_t key) { m_layoutKey = key; }
    Vilib* pack() const { return m_pack.ptr(); }
    bool snapToPixel() const { return m_snapToPixel != 0; }
    void setSnapToPixel(bool on) { m_snapToPixel = on ? 1 : 0; }
    bool slanted() const { return m_slanted != 0; }
    void setSlanted(bool on) { m_slanted = on ? 1 : 0; }
    fixed effectiveScale() const { return m_effectiveScale; }
    fixed minScale() const { return m_minScale; }
    fixed maxScale() const { return m_maxScale; }
    int32_t left() const { return m_left; }
    int32_t top() const { return m_top; }
    int32_t right() const { return m_right; }
    int32_t bottom() const { return m_bottom; }
    fixed absX() const { return m_absX; }
    fixed absY() const { return m_absY; }
    fixed z() const { return m_z; }
    int32_t anchorX() const { return m_anchorX; }
    int32_t anchorY() const { return m_anchorY; }
    int32_t hiddenPixels() const { return m_hiddenPixels; }
    void setHiddenPixels(int32_t count) { m_hiddenPixels = count; }

    // The margin that appendRow leaves around stacked rows (process-wide, 2 in play).
    static int32_t rowMargin();
    static void setRowMargin(int32_t margin);

protected:
    // Paints this node and its subtree with the sprite rules, whatever `paint` does in
    // a subclass (a viewport paints its own tree into its buffer this way).
    void paintTree(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft, int32_t clipTop,
                   int32_t clipRight, int32_t clipBottom) {
        Vsprite::paint(pixels, stride, rows, clipLeft, clipTop, clipRight, clipBottom);
    }
    void paintChildren(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft,
                       int32_t clipTop, int32_t clipRight, int32_t clipBottom);

    fixed m_opacity = 0x8000;
    Ref<Vsprite> m_firstChild;
    Ref<Vsprite> m_parent;
    Ref<Vsprite> m_next;
    int32_t m_colour = 0;
    int32_t m_gradientColour = 0;
    int32_t m_layoutKey = 0;
    int32_t m_tag = 0;
    Ref<Vilib> m_pack;
    int32_t m_frame = 0;
    uint8_t m_snapToPixel = 0;
    fixed m_scale = 0x8000;
    fixed m_effectiveScale = 0;
    fixed m_minScale = 1;
    fixed m_maxScale = 0x7FFFFFFF;
    uint8_t m_slanted = 0;
    int32_t m_left = 0;
    int32_t m_top = 0;
    int32_t m_right = 0;
    int32_t m_bottom = 0;
    fixed m_absX = 0;
    fixed m_absY = 0;
    fixed m_x = 0;
    fixed m_y = 0;
    fixed m_z = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_anchorX = 0;
    int32_t m_anchorY = 0;
    int32_t m_worldX = 0;
    int32_t m_worldY = 0;
    int32_t m_worldZ = 0;
    int32_t m_hiddenPixels = 0;
};

// Clips a rectangle to the part of a frame buffer that exists: `stride` columns and as
// many whole rows as `length` and `rows` allow. False when nothing is left.
bool clipToBuffer(int32_t length, int32_t stride, int32_t rows, int32_t& l, int32_t& t, int32_t& r,
                  int32_t& b);

}  // namespace fairholm
