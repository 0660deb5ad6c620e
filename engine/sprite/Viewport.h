#pragma once

#include <atomic>
#include <cstdint>

#include "engine/sprite/Vdisplay.h"
#include "engine/sprite/Vsprite.h"
#include "runtime/Array.h"
#include "runtime/Ref.h"

namespace fairholm {

// A sprite that owns an off-screen pixel buffer of its own size and is the root of what
// is drawn into it. It records up to 8 dirty rectangles, repaints only those, and asks
// the window to present them. It also keeps the key state and key queue that the
// window thread feeds, the stylus position, and the frame clock of the game loop.
//
// Threads: the window thread calls keyPressed, keyReleased and setPointer; the game
// thread calls everything else. The key queue is a single-producer, single-consumer
// ring: only keyPressed moves the write index and only nextKey the read index.
class Viewport : public Vsprite {
public:
    static constexpr int32_t queueSize = 10;
    static constexpr int32_t maxDirty = 8;
    static constexpr int32_t lastKeyCode = 57;

    Viewport() = default;
    ~Viewport() override;

    void paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft, int32_t clipTop,
               int32_t clipRight, int32_t clipBottom) override;
    void invalidateRect(int32_t l, int32_t t, int32_t r, int32_t b) override;
    void repaint() override;
    void setSize(int32_t w, int32_t h) override;

    // --- operations added by the viewport, in table order ---
    virtual void releaseBuffer();
    virtual void setDisplay(Ref<Vdisplay> display);
    virtual bool isRunning() const;
    virtual bool isKeyDown(int32_t code) const;
    virtual void keyPressed(int32_t code);
    virtual int32_t nextKey();
    virtual bool keyIs(int32_t key, int32_t code) const;
    virtual void keyReleased(int32_t code);
    virtual void run();
    virtual bool isOnScreen(const Vsprite& sprite) const;
    virtual int32_t waitFrame(int32_t ms);
    virtual void revealColumns();
    virtual void revealRows();

    // --- state ---
    Vdisplay* display() const { return m_display.ptr(); }
    const IntArray& backBuffer() const { return m_backBuffer; }
    // A digest of the back buffer's pixels and of the viewport's size.
    uint64_t frameHash() const;
    int32_t pointerX() const { return m_pointerX.load(std::memory_order_acquire); }
    int32_t pointerY() const { return m_pointerY.load(std::memory_order_acquire); }
    // Written by the window thread on stylus down and up.
    void setPointer(int32_t x, int32_t y) {
        m_pointerX.store(x, std::memory_order_release);
        m_pointerY.store(y, std::memory_order_release);
    }
    void stop() { m_stopped.store(1, std::memory_order_release); }
    // Keys are waiting in the queue (read on the game thread, like nextKey).
    bool hasQueuedKeys() const {
        return m_queueRead.load(std::memory_order_relaxed) != m_queueWrite.load(std::memory_order_acquire);
    }
    uint32_t lastFrameTime() const { return m_lastFrameTime; }
    int32_t frameDelta() const { return m_frameDelta; }
    int32_t dirtyCount() const { return m_dirtyCount; }
    // Recorded dirty rectangle i (0..dirtyCount/4-1): left, top, right, bottom.
    const int32_t* dirtyRect(int32_t i) const { return m_dirty + 4 * i; }
    void clearDirty() { m_dirtyCount = 0; }

protected:
    // Paints the own tree into the back buffer within a strip and presents it.
    void flushStrip(int32_t l, int32_t t, int32_t r, int32_t b);
    // Asks the window to show a rectangle of the back buffer.
    void present(int32_t l, int32_t t, int32_t r, int32_t b);

    Ref<Vdisplay> m_display;
    std::atomic<uint32_t> m_keyBits[2] = {};
    int8_t m_keyQueue[queueSize] = {};
    std::atomic<int32_t> m_queueRead{0};
    std::atomic<int32_t> m_queueWrite{0};
    std::atomic<int32_t> m_pointerX{0};
    std::atomic<int32_t> m_pointerY{0};
    IntArray m_backBuffer;
    std::atomic<int32_t> m_stopped{0};
    uint32_t m_lastFrameTime = 0;
    int32_t m_frameDelta = 0;
    int32_t m_dirty[4 * maxDirty] = {};
    int32_t m_dirtyCount = 0;
};

}  // namespace fairholm
