#include "platform/SharedFrame.h"

#include <algorithm>
#include <cstring>

namespace fairholm {

bool SharedFrame::store(const int32_t* source, int32_t length, int32_t width, int32_t height, int32_t left,
                        int32_t top, int32_t right, int32_t bottom) {
    if (!source || width <= 0 || height <= 0 || width > length / height) {
        return false;
    }
    const int32_t l = std::clamp(left, 0, width);
    const int32_t r = std::clamp(right, 0, width);
    const int32_t t = std::clamp(top, 0, height);
    const int32_t b = std::clamp(bottom, 0, height);
    std::lock_guard guard(m_lock);
    const bool resized = m_frame.width != width || m_frame.height != height;
    if (resized) {
        m_frame.width = width;
        m_frame.height = height;
        m_frame.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    }
    const int32_t x0 = resized ? 0 : l;
    const int32_t x1 = resized ? width : r;
    const int32_t y0 = resized ? 0 : t;
    const int32_t y1 = resized ? height : b;
    if (x1 > x0) {
        for (int32_t y = y0; y < y1; ++y) {
            const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
            std::memcpy(&m_frame.pixels[row + static_cast<size_t>(x0)], source + row + x0,
                        sizeof(int32_t) * static_cast<size_t>(x1 - x0));
        }
    }
    m_changed = true;
    return true;
}

bool SharedFrame::take(Frame& out) {
    std::lock_guard guard(m_lock);
    if (!m_changed) {
        return false;
    }
    m_changed = false;
    out.width = m_frame.width;
    out.height = m_frame.height;
    out.pixels = m_frame.pixels;
    return true;
}

}  // namespace fairholm
