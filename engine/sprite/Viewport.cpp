#include "engine/sprite/Viewport.h"

#include <cstring>

#include "engine/sprite/EngineKey.h"
#include "runtime/Assert.h"
#include "runtime/Runtime.h"

namespace fairholm {

Viewport::~Viewport() {
    releaseBuffer();
    m_display = nullptr;
}

void Viewport::paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t cl, int32_t ct, int32_t cr,
                     int32_t cb) {
    if (!clipToBuffer(pixels.length(), stride, rows, cl, ct, cr, cb)) {
        return;
    }
    // Only the part of the clip that the back buffer covers is copied.
    const int32_t bufferWidth = m_width;
    const int32_t bufferRows = bufferWidth > 0 ? m_backBuffer.length() / bufferWidth : 0;
    if (cl < m_left) {
        cl = m_left;
    }
    if (ct < m_top) {
        ct = m_top;
    }
    if (cr > m_left + bufferWidth) {
        cr = m_left + bufferWidth;
    }
    if (cb > m_top + bufferRows) {
        cb = m_top + bufferRows;
    }
    if (cl >= cr || ct >= cb) {
        return;
    }
    const size_t bytes = sizeof(int32_t) * static_cast<size_t>(cr - cl);
    for (int32_t yy = ct; yy < cb; ++yy) {
        std::memcpy(pixels.data() + yy * stride + cl,
                    m_backBuffer.data() + (yy - m_top) * bufferWidth + (cl - m_left), bytes);
    }
}

void Viewport::invalidateRect(int32_t l, int32_t t, int32_t r, int32_t b) {
    if (m_parent) {
        m_parent->invalidateRect(l, t, r, b);
        return;
    }
    if (l < m_left) {
        l = m_left;
    }
    if (t < m_top) {
        t = m_top;
    }
    if (r > m_right) {
        r = m_right;
    }
    if (b > m_bottom) {
        b = m_bottom;
    }
    if (l >= r || t >= b) {
        return;
    }
    // Four words a rectangle, at most maxDirty of them.
    FAIRHOLM_ASSERT(m_dirtyCount >= 0 && m_dirtyCount <= 4 * maxDirty && m_dirtyCount % 4 == 0);
    int32_t i = 0;
    while (i < m_dirtyCount) {
        int32_t* e = m_dirty + i;
        const int32_t ml = e[0] > l ? e[0] : l;
        const int32_t mr = e[2] < r ? e[2] : r;
        const int32_t mt = e[1] > t ? e[1] : t;
        const int32_t mb = e[3] < b ? e[3] : b;
        if (ml < mr && mt <= mb) {
            if (e[0] <= l && e[1] <= t && e[2] >= r && e[3] >= b) {
                return;  // already covered
            }
            if (e[0] < l) {
                l = e[0];
            }
            if (e[1] < t) {
                t = e[1];
            }
            if (e[2] > r) {
                r = e[2];
            }
            if (e[3] > b) {
                b = e[3];
            }
            std::memmove(e, e + 4, sizeof(int32_t) * static_cast<size_t>(m_dirtyCount - i - 4));
            m_dirtyCount -= 4;
            i = 0;
            continue;
        }
        i += 4;
    }
    if (m_dirtyCount < 4 * maxDirty) {
        int32_t* slot = m_dirty + m_dirtyCount;
        slot[0] = l;
        slot[1] = t;
        slot[2] = r;
        slot[3] = b;
        m_dirtyCount += 4;
    }
}

void Viewport::present(int32_t l, int32_t t, int32_t r, int32_t b) {
    if (m_display) {
        m_display->invalidateRect(l, t, r, b);
    } else if (m_parent) {
        m_parent->invalidateRect(l + m_left, t + m_top, r + m_left, b + m_top);
    }
}

void Viewport::repaint() {
    if (!isRunning()) {
        return;
    }
    layout(0, 0, 0x8000);
    for (int32_t i = 0; i < m_dirtyCount; i += 4) {
        const int32_t l = m_dirty[i];
        const int32_t t = m_dirty[i + 1];
        const int32_t r = m_dirty[i + 2];
        const int32_t b = m_dirty[i + 3];
        if (l < r && t < b) {
            paintTree(m_backBuffer, m_width, m_height, l, t, r, b);
            present(l, t, r, b);
        }
    }
    m_dirtyCount = 0;
}

void Viewport::setSize(int32_t w, int32_t h) {
    if (w == m_width && h == m_height) {
        return;
    }
    releaseBuffer();
    if (w > 0 && h > 0 && w <= (1 << 15) && h <= (1 << 15)) {
        m_backBuffer = newIntArray(w * h);
    }
    m_width = w;
    m_height = h;
    setBounds(0, 0, w, h);
    m_dirtyCount = 0;
    invalidateRect(0, 0, w, h);
}

uint64_t Viewport::frameHash() const {
    const int32_t area = m_width * m_height;
    const int32_t count = m_backBuffer.length() < area ? m_backBuffer.length() : area;
    // Four interleaved FNV-1a lanes over the pixel words, then the size.
    uint64_t lanes[4] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull, 0x9ce484222325cbf2ull,
                         0x2325cbf29ce48422ull};
    constexpr uint64_t prime = 0x100000001b3ull;
    const int32_t* p = m_backBuffer.data();
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        for (int32_t lane = 0; lane < 4; ++lane) {
            lanes[lane] = (lanes[lane] ^ static_cast<uint32_t>(p[i + lane])) * prime;
        }
    }
    for (; i < count; ++i) {
        lanes[0] = (lanes[0] ^ static_cast<uint32_t>(p[i])) * prime;
    }
    uint64_t frame =
        (static_cast<uint64_t>(static_cast<uint32_t>(m_width)) << 32) | static_cast<uint32_t>(m_height);
    for (const uint64_t lane : lanes) {
        frame = (frame ^ lane) * prime;
    }
    return frame;
}

void Viewport::releaseBuffer() {
    m_backBuffer.release();
}

void Viewport::setDisplay(Ref<Vdisplay> display) {
    m_display = std::move(display);
    m_lastFrameTime = Runtime::currentTimeMillis();
}

bool Viewport::isRunning() const {
    return m_stopped.load(std::memory_order_acquire) == 0;
}

bool Viewport::isKeyDown(int32_t code) const {
    if (code < 0 || code > lastKeyCode) {
        return false;
    }
    return (m_keyBits[code >> 5].load(std::memory_order_acquire) >> (code & 31)) & 1;
}

void Viewport::keyPressed(int32_t code) {
    if (code >= 0 && code <= lastKeyCode) {
        m_keyBits[code >> 5].fetch_or(1u << (code & 31), std::memory_order_acq_rel);
    }
    if (code == key::action && (m_keyBits[0].load(std::memory_order_acquire) & 0x1F) != 0) {
        return;  // action while a direction is held is not queued
    }
    const int32_t write = m_queueWrite.load(std::memory_order_relaxed);
    FAIRHOLM_ASSERT(write >= 0 && write < queueSize);
    const int32_t next = write + 1 == queueSize ? 0 : write + 1;
    if (next != m_queueRead.load(std::memory_order_acquire)) {
        m_keyQueue[write] = static_cast<int8_t>(code);
        m_queueWrite.store(next, std::memory_order_release);
    }
}

int32_t Viewport::nextKey() {
    const int32_t read = m_queueRead.load(std::memory_order_relaxed);
    if (read == m_queueWrite.load(std::memory_order_acquire)) {
        return 0;
    }
    FAIRHOLM_ASSERT(read >= 0 && read < queueSize);
    const int32_t code = m_keyQueue[read];
    m_queueRead.store(read + 1 == queueSize ? 0 : read + 1, std::memory_order_release);
    return code;
}

bool Viewport::keyIs(int32_t key, int32_t code) const {
    return key == code || isKeyDown(code);
}

void Viewport::keyReleased(int32_t code) {
    if (code >= 0 && code <= lastKeyCode) {
        m_keyBits[code >> 5].fetch_and(~(1u << (code & 31)), std::memory_order_acq_rel);
    }
}

void Viewport::run() {}

bool Viewport::isOnScreen(const Vsprite& sprite) const {
    return sprite.left() < sprite.right() && sprite.right() > m_left && sprite.left() < m_right &&
           sprite.bottom() > m_top && sprite.top() < m_bottom;
}

int32_t Viewport::waitFrame(int32_t ms) {
    if (!isRunning()) {
        return 0;
    }
    uint32_t now = Runtime::currentTimeMillis();
    const int32_t wait = static_cast<int32_t>(m_lastFrameTime + static_cast<uint32_t>(ms) - now);
    if (wait > 0) {
        Runtime::sleep(static_cast<uint32_t>(wait));
        now = Runtime::currentTimeMillis();
    }
    m_frameDelta = static_cast<int32_t>(now - m_lastFrameTime);
    m_lastFrameTime = now;
    return static_cast<int32_t>(now);
}

void Viewport::flushStrip(int32_t l, int32_t t, int32_t r, int32_t b) {
    if (r > m_width) {
        r = m_width;
    }
    if (b > m_height) {
        b = m_height;
    }
    paintTree(m_backBuffer, m_width, m_height, l, t, r, b);
    if (m_display) {
        m_display->invalidateRect(l, t, r, b);
    }
    waitFrame(10);
}

void Viewport::revealColumns() {
    layout(0, 0, 0x8000);
    if (m_dirtyCount == 0) {
        return;
    }
    for (int32_t x = 0; x < m_width && isRunning(); x += 8) {
        flushStrip(x, 0, x + 8, m_height);
    }
    if (isRunning()) {
        m_dirtyCount = 0;
    }
}

void Viewport::revealRows() {
    layout(0, 0, 0x8000);
    if (m_dirtyCount == 0) {
        return;
    }
    for (int32_t y = 0; y < m_height && isRunning(); y += 8) {
        flushStrip(0, y, m_width, y + 8);
    }
    if (isRunning()) {
        m_dirtyCount = 0;
    }
}

}  // namespace fairholm
