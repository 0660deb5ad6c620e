#include "engine/sprite/Vsprite.h"

#include <atomic>

#include "engine/sprite/Vilib.h"
#include "engine/sprite/Vtext.h"
#include "runtime/Assert.h"
#include "runtime/StringBuffer.h"

namespace fairholm {

namespace {
std::atomic<int32_t> theRowMargin{0};
}  // namespace

int32_t Vsprite::rowMargin() {
    return theRowMargin.load(std::memory_order_relaxed);
}
void Vsprite::setRowMargin(int32_t margin) {
    theRowMargin.store(margin, std::memory_order_relaxed);
}

bool clipToBuffer(int32_t length, int32_t stride, int32_t rows, int32_t& l, int32_t& t, int32_t& r,
                  int32_t& b) {
    if (stride <= 0 || length <= 0) {
        return false;
    }
    int32_t maxRows = length / stride;
    if (rows < maxRows) {
        maxRows = rows;
    }
    if (l < 0) {
        l = 0;
    }
    if (t < 0) {
        t = 0;
    }
    if (r > stride) {
        r = stride;
    }
    if (b > maxRows) {
        b = maxRows;
    }
    return l < r && t < b;
}

Vsprite::~Vsprite() {
    m_pack = nullptr;
    // Long sibling chains are unlinked iteratively so that destroying a big list does
    // not recurse once per sibling.
    Ref<Vsprite> next = std::move(m_next);
    while (next && next->refCount() == 1) {
        Ref<Vsprite> after = std::move(next->m_next);
        next = std::move(after);
    }
    next = nullptr;
    m_parent = nullptr;
    m_firstChild = nullptr;
}

void Vsprite::addChild(Ref<Vsprite> child) {
    if (!child || child->m_parent || child.ptr() == this) {
        return;
    }
    FAIRHOLM_ASSERT(!isInside(*child));
    Vsprite* previous = nullptr;
    Vsprite* node = m_firstChild.ptr();
    while (node && node->m_z >= child->m_z) {
        previous = node;
        node = node->m_next.ptr();
    }
    if (previous) {
        child->m_next = previous->m_next;
        previous->m_next = child;
    } else {
        child->m_next = m_firstChild;
        m_firstChild = child;
    }
    child->m_parent = this;
}

void Vsprite::appendChild(Ref<Vsprite> child) {
    if (!child || child->m_parent || child.ptr() == this) {
        return;
    }
    FAIRHOLM_ASSERT(!isInside(*child));
    if (!m_firstChild) {
        m_firstChild = child;
    } else {
        Vsprite* last = m_firstChild.ptr();
        while (last->m_next) {
            last = last->m_next.ptr();
        }
        last->m_next = child;
    }
    child->m_next = nullptr;
    child->m_parent = this;
}

void Vsprite::appendRow(Ref<Vsprite> child) {
    // A child that appendChild refuses (it has a parent, or is this sprite) is not
    // stacked either: the row keeps its size and the child its place.
    if (!child || child->m_parent || child.ptr() == this) {
        return;
    }
    appendChild(child);
    const int32_t m = rowMargin();
    const int32_t childWidth = child->getWidth();
    if (m_width < childWidth + 2 * m) {
        m_width = childWidth + 2 * m;
    }
    child->setPosition(m, m_height);
    m_height += child->getHeight();
}

void Vsprite::appendCentered(Ref<Vsprite> child) {
    if (!child) {
        return;
    }
    appendChild(child);
    child->setPosition((m_width - child->getWidth()) >> 1, (m_height - child->getHeight()) >> 1);
}

void Vsprite::appendRowCentered(Ref<Vsprite> child) {
    if (!child || child->m_parent || child.ptr() == this) {
        return;
    }
    appendRow(child);
    child->setPositionFixed((m_width - child->getWidth()) * 0x4000, child->getY());
}

Ref<Vtext> Vsprite::addTextRow(Ref<String> text) {
    Ref<Vtext> row = make<Vtext>(std::move(text));
    appendRow(row);
    return row;
}

Ref<Vtext> Vsprite::addTextRowDigits(Ref<String> text, int32_t digits) {
    Ref<Vtext> row = make<Vtext>(std::move(text));
    row->setDigitCapacity(digits);
    appendRow(row);
    return row;
}

Ref<Vtext> Vsprite::addTextRowCentered(Ref<String> text) {
    Ref<Vtext> row = make<Vtext>(std::move(text));
    appendRowCentered(row);
    return row;
}

Ref<Vtext> Vsprite::addTextRowCenteredDigits(Ref<String> text, int32_t digits) {
    Ref<Vtext> row = make<Vtext>(std::move(text));
    row->setDigitCapacity(digits);
    appendRowCentered(row);
    return row;
}

void Vsprite::moveWorldBy(int32_t dx, int32_t dy, int32_t dz) {
    setWorldPosition(m_worldX + dx, m_worldY + dy, m_worldZ + dz);
}

void Vsprite::moveBy(fixed dx, fixed dy) {
    m_x += dx;
    m_y += dy;
}

void Vsprite::centreIn(int32_t l, int32_t t, int32_t r, int32_t b) {
    int32_t yc = t + ((b - m_height - t) >> 1);
    if (yc + m_height > b) {
        yc = b - m_height;
    }
    setPosition(l + ((r - m_width - l) >> 1), yc);
}

int32_t Vsprite::layoutKey(fixed absoluteX, fixed absoluteY, fixed absoluteScale) {
    return m_width + ((m_height + absoluteY) << 10) + m_frame + m_colour + m_opacity + absoluteX +
           absoluteScale;
}

void Vsprite::invalidateTree() {
    invalidate();
    m_layoutKey += 1;
    for (Vsprite* child = m_firstChild.ptr(); child; child = child->m_next.ptr()) {
        child->invalidateTree();
    }
}

void Vsprite::removeFromParent() {
    if (m_parent) {
        Ref<Vsprite> self(this);
        Ref<Vsprite> parent = m_parent;
        parent->removeChild(self);
    }
}

bool Vsprite::hitTest(int32_t px, int32_t py) {
    int32_t l = m_left;
    if (m_slanted) {
        l += (m_bottom - m_top) >> 1;
    }
    if (l <= px && px < m_right && m_top <= py && py < m_bottom) {
        return true;
    }
    for (Vsprite* child = m_firstChild.ptr(); child; child = child->m_next.ptr()) {
        if (child->hitTest(px, py)) {
            return true;
        }
    }
    return false;
}

void Vsprite::invalidateRect(int32_t l, int32_t t, int32_t r, int32_t b) {
    if (m_parent && r > l) {
        m_parent->invalidateRect(l, t, r, b);
    }
}

void Vsprite::invalidate() {
    invalidateRect(m_left, m_top, m_right, m_bottom);
}

void Vsprite::releaseImage() {
    if (m_pack) {
        m_pack->releaseImage(m_frame);
    }
}

void Vsprite::removeChild(const Ref<Vsprite>& child) {
    // Only a child of this very list is removed: a sprite held by another parent, or
    // by none, is left alone.
    if (!child || child->m_parent.ptr() != this) {
        return;
    }
    Ref<Vsprite> keep = child;
    Vsprite* previous = nullptr;
    Vsprite* node = m_firstChild.ptr();
    while (node && node != keep.ptr()) {
        previous = node;
        node = node->m_next.ptr();
    }
    // A child that names this sprite as its parent is in its list.
    FAIRHOLM_ASSERT(node);
    if (!node) {
        return;
    }
    keep->invalidateTree();
    if (previous) {
        previous->m_next = keep->m_next;
    } else {
        m_firstChild = keep->m_next;
    }
    keep->m_parent = nullptr;
    keep->m_next = nullptr;
}

bool Vsprite::isInside(const Vsprite& ancestor) const {
    for (const Vsprite* node = this; node; node = node->m_parent.ptr()) {
        if (node == &ancestor) {
            return true;
        }
    }
    return false;
}

void Vsprite::dismantle() {
    for (Ref<Vsprite> child = m_firstChild; child; child = child->m_next) {
        child->dismantle();
    }
    removeAllChildren();
}

void Vsprite::removeAllChildren() {
    while (m_firstChild) {
        Ref<Vsprite> child = m_firstChild;
        removeChild(child);
        if (m_firstChild == child) {
            // A child that does not name this sprite as its parent cannot be removed
            // by removeChild; unlink it directly so the loop ends.
            m_firstChild = child->m_next;
            child->m_next = nullptr;
        }
    }
}

void Vsprite::repaint() {
    if (m_parent) {
        m_parent->repaint();
    }
}

void Vsprite::layout(fixed ax, fixed ay, fixed as) {
    if (as == 0x8000) {
        ax += m_x;
        ay += m_y;
        as = m_scale;
    } else {
        ax += fx::mul(m_x, as);
        ay += fx::mul(m_y, as);
        as = fx::mul(m_scale, as);
    }
    if (m_width != 0) {
        const int32_t key = layoutKey(ax, ay, as);
        if (key != m_layoutKey) {
            m_layoutKey = key;
            invalidate();
            computeBounds(ax, ay, as);
            invalidate();
        }
    }
    for (Vsprite* child = m_firstChild.ptr(); child; child = child->m_next.ptr()) {
        child->layout(ax, ay, as);
    }
}

void Vsprite::computeBounds(fixed ax, fixed ay, fixed as) {
    if (m_snapToPixel) {
        ax &= ~0x7FFF;
        ay &= ~0x7FFF;
    }
    fixed s = as;
    if (s < m_minScale) {
        s = m_minScale;
    }
    if (s > m_maxScale) {
        s = m_maxScale;
    }
    m_absX = ax - m_anchorX * s;
    m_absY = ay - m_anchorY * s;
    m_top = (m_absY + 0x7FFF) >> 15;
    m_right = (m_absX + 0x7FFF + m_width * s) >> 15;
    m_bottom = (m_absY + 0x7FFF + m_height * s) >> 15;
    m_left = (m_absX + 0x7FFF) >> 15;
    if (m_slanted) {
        m_left -= (m_height * s) >> 16;
    }
    m_effectiveScale = s;
}

void Vsprite::paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t cl, int32_t ct, int32_t cr,
                    int32_t cb) {
    if (m_pack) {
        m_pack->drawImage(m_frame, pixels, stride, rows, cl, ct, cr, cb, m_absX, m_absY, m_effectiveScale,
                          m_z >> 15, m_opacity);
    } else if (m_gradientColour == 0) {
        fillRect(pixels, stride, rows, cl, ct, cr, cb, m_colour);
    } else if (m_height > 0) {
        const int32_t f = 0x8000 / m_height;
        const int32_t c1 = m_colour;
        const int32_t c2 = m_gradientColour;
        for (int32_t yy = ct; yy < cb; ++yy) {
            int32_t rowColour = c1;
            if (c1 != c2) {
                const int32_t t = (yy - m_top) * f;
                const int32_t blue = (c1 & 0xFF) + ((((c2 & 0xFF) - (c1 & 0xFF)) * t) >> 15);
                const int32_t green =
                    ((c1 >> 8) & 0xFF) + (((((c2 >> 8) & 0xFF) - ((c1 >> 8) & 0xFF)) * t) >> 15);
                const int32_t red =
                    ((c1 >> 16) & 0xFF) + (((((c2 >> 16) & 0xFF) - ((c1 >> 16) & 0xFF)) * t) >> 15);
                rowColour =
                    static_cast<int32_t>(0xFF000000u | static_cast<uint32_t>(red << 16) |
                                         static_cast<uint32_t>(green << 8) | static_cast<uint32_t>(blue));
            }
            fillRect(pixels, stride, rows, cl, yy, cr, yy + 1, rowColour);
        }
    }
    paintChildren(pixels, stride, rows, cl, ct, cr, cb);
}

void Vsprite::paintChildren(const IntArray& pixels, int32_t stride, int32_t rows, int32_t cl, int32_t ct,
                            int32_t cr, int32_t cb) {
    for (Vsprite* child = m_firstChild.ptr(); child; child = child->m_next.ptr()) {
        if (child->m_width == 0) {
            child->paint(pixels, stride, rows, cl, ct, cr, cb);
            continue;
        }
        const int32_t l = cl > child->m_left ? cl : child->m_left;
        const int32_t t = ct > child->m_top ? ct : child->m_top;
        const int32_t r = cr < child->m_right ? cr : child->m_right;
        const int32_t b = cb < child->m_bottom ? cb : child->m_bottom;
        if (l < r && t < b) {
            child->paint(pixels, stride, rows, l, t, r, b);
        }
    }
}

void Vsprite::fillRect(const IntArray& pixels, int32_t stride, int32_t rows, int32_t l, int32_t t, int32_t r,
                       int32_t b, int32_t argb) {
    const uint32_t a = static_cast<uint32_t>(argb) >> 24;
    if (a == 0 || !clipToBuffer(pixels.length(), stride, rows, l, t, r, b)) {
        return;
    }
    uint32_t* base = reinterpret_cast<uint32_t*>(pixels.data());
    const uint32_t c = static_cast<uint32_t>(argb);
    const int32_t w = r - l;
    if (a == 0xFF) {
        uint32_t* first = base + t * stride + l;
        for (int32_t i = 0; i < w; ++i) {
            first[i] = c;
        }
        for (int32_t yy = t + 1; yy < b; ++yy) {
            std::memcpy(base + yy * stride + l, first, sizeof(uint32_t) * static_cast<size_t>(w));
        }
    } else if (a == 0x80) {
        const uint32_t half = (c >> 1) & 0x7F7F7F;
        for (int32_t yy = t; yy < b; ++yy) {
            uint32_t* row = base + yy * stride + l;
            for (int32_t i = 0; i < w; ++i) {
                row[i] = ((row[i] >> 1) & 0x7F7F7F) + half;
            }
        }
    } else {
        const uint32_t inv = 255 - a;
        const uint32_t sr = ((c >> 16) & 0xFF) * a;
        const uint32_t sg = ((c >> 8) & 0xFF) * a;
        const uint32_t sb = (c & 0xFF) * a;
        for (int32_t yy = t; yy < b; ++yy) {
            uint32_t* row = base + yy * stride + l;
            for (int32_t i = 0; i < w; ++i) {
                const uint32_t p = row[i];
                const uint32_t red = ((((p >> 16) & 0xFF) * inv) >> 8) + (sr >> 8);
                const uint32_t green = ((((p >> 8) & 0xFF) * inv) >> 8) + (sg >> 8);
                const uint32_t blue = (((p & 0xFF) * inv) >> 8) + (sb >> 8);
                row[i] = (red << 16) | (green << 8) | blue;
            }
        }
    }
}

void Vsprite::setImage(Ref<Vilib> pack, int32_t frame) {
    if (pack == m_pack && frame == m_frame) {
        return;
    }
    if (pack) {
        Ref<Vpicture> picture = pack->getPicture(frame);
        if (!picture) {
            return;  // frame outside the pack
        }
        m_pack = std::move(pack);
        m_frame = frame;
        setSize(picture->width(), picture->height());
        m_anchorX = picture->anchorX();
        m_anchorY = picture->anchorY();
    } else {
        m_pack = nullptr;
        m_frame = frame;
    }
}

void Vsprite::setFrame(int32_t frame) {
    setImage(m_pack, frame);
}

Ref<String> Vsprite::describe() {
    StringBuffer buffer(*lit("Sprite image "));
    buffer.append(m_frame);
    return buffer.toString();
}

}  // namespace fairholm
