#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace fairholm {

// The picture handed from the game thread to the window thread. The game thread stores
// the rectangles it has just painted into its back buffer; the window thread takes a
// copy of the whole picture when it paints. Both sides hold the lock only while they
// copy, so the window never reads the back buffer the game is drawing into.
class SharedFrame {
public:
    struct Frame {
        std::vector<int32_t> pixels;
        int32_t width = 0;
        int32_t height = 0;
    };

    // Copies the rectangle (frame-buffer pixels, right and bottom exclusive, clipped to
    // the picture) of `source`, a `width` × `height` picture of `length` words. A new
    // size copies the whole picture. Returns false, storing nothing, when the source is
    // shorter than its size says or the size is empty.
    bool store(const int32_t* source, int32_t length, int32_t width, int32_t height, int32_t left,
               int32_t top, int32_t right, int32_t bottom);

    // Copies the picture into `out` when it changed since the last take; false (and
    // `out` untouched) when nothing new was stored.
    bool take(Frame& out);

private:
    std::mutex m_lock;
    Frame m_frame;
    bool m_changed = false;
};

}  // namespace fairholm
