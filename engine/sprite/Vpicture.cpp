#include "engine/sprite/Vpicture.h"

#include "engine/sprite/Vsprite.h"

namespace fairholm {

int32_t Vpicture::pixelCount() const {
    if (m_width <= 0 || m_height <= 0) {
        return 0;
    }
    const int32_t count = static_cast<int32_t>(m_width) * m_height;
    return count <= maxPixels ? count : 0;
}

void Vpicture::setPixels(IntArray pixels) {
    if (pixels.length() == pixelCount() && pixelCount() > 0) {
        m_pixels = std::move(pixels);
    } else {
        m_pixels.release();
    }
}

namespace {

// One source pixel onto one frame-buffer pixel: zero level skipped, depth test, then
// opacity scaling, then the blend. Returns 1 when the depth test hid the pixel.
template <bool Opaque>
inline int32_t put(uint32_t p, uint32_t& d, int32_t depth, uint32_t tag, fixed opacity) {
    int32_t level = static_cast<int32_t>(p >> 29);
    if (level == 0) {
        return 0;
    }
    const uint32_t under = d;
    if (static_cast<int32_t>(under >> 24) < depth) {
        return 1;
    }
    if constexpr (!Opaque) {
        level = (level * opacity) >> 15;
    }
    d = blend::byLevel(under, p, level) | tag;
    return 0;
}

// An unscaled run of source pixels at full opacity. The same rules as put<true>,
// written without branches so that the compiler can process several pixels at once.
int32_t drawSpan(const uint32_t* src, uint32_t* dst, int32_t n, int32_t depth, uint32_t tag) {
    if (depth < 0) {
        depth = 0;
    }
    const uint32_t nearest = depth > 256 ? 256u : static_cast<uint32_t>(depth);
    int32_t hidden = 0;
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t p = src[i];
        const uint32_t d = dst[i];
        const uint32_t level = p >> 29;
        const uint32_t shown = (d >> 24) >= nearest;
        const uint32_t quarters = ((d >> 2) & 0x3F3F3F) + ((p >> 2) & 0x3F3F3F);
        const uint32_t dHalf = (d >> 1) & 0x7F7F7F;
        const uint32_t sHalf = (p >> 1) & 0x7F7F7F;
        uint32_t out = level >= 7   ? (p & 0xFFFFFF)
                       : level >= 5 ? quarters + sHalf
                       : level >= 3 ? dHalf + sHalf
                                    : quarters + dHalf;
        out |= tag;
        const uint32_t visible = level != 0;
        hidden += static_cast<int32_t>(visible & (shown ^ 1u));
        dst[i] = (visible & shown) ? out : d;
    }
    return hidden;
}

template <bool Opaque>
int32_t drawRows(const uint32_t* src, int32_t width, int32_t height, uint32_t* fb, int32_t stride, int32_t cl,
                 int32_t ct, int32_t cr, int32_t cb, fixed u0, fixed v, fixed step, int32_t depth,
                 fixed opacity) {
    const uint32_t tag = static_cast<uint32_t>(depth) << 24;
    int32_t hidden = 0;
    for (int32_t yy = ct; yy < cb; ++yy) {
        const int32_t sourceRow = v >> 15;
        v += step;
        if (static_cast<uint32_t>(sourceRow) >= static_cast<uint32_t>(height)) {
            continue;
        }
        const uint32_t* row = src + sourceRow * width;
        uint32_t* dst = fb + yy * stride;
        if (step == 0x8000) {
            // Unscaled: source column = first column + offset, one range check per row.
            const int32_t firstColumn = u0 >> 15;
            int32_t xs = cl;
            int32_t xe = cr;
            if (firstColumn < 0) {
                xs = cl - firstColumn;
            }
            if (cl - firstColumn + width < xe) {
                xe = cl - firstColumn + width;
            }
            const uint32_t* s = row + firstColumn - cl;
            if constexpr (Opaque) {
                hidden += drawSpan(s + xs, dst + xs, xe - xs, depth, tag);
            } else {
                for (int32_t xx = xs; xx < xe; ++xx) {
                    hidden += put<Opaque>(s[xx], dst[xx], depth, tag, opacity);
                }
            }
        } else {
            fixed u = u0;
            for (int32_t xx = cl; xx < cr; ++xx) {
                const int32_t column = u >> 15;
                u += step;
                if (static_cast<uint32_t>(column) < static_cast<uint32_t>(width)) {
                    hidden += put<Opaque>(row[column], dst[xx], depth, tag, opacity);
                }
            }
        }
    }
    return hidden;
}

}  // namespace

int32_t Vpicture::draw(const IntArray& pixels, int32_t stride, int32_t rows, int32_t cl, int32_t ct,
                       int32_t cr, int32_t cb, fixed x, fixed y, fixed scale, int32_t depth, fixed opacity) {
    if (scale == 0) {
        return 1;
    }
    const int32_t count = pixelCount();
    if (count == 0 || m_pixels.length() != count ||
        !clipToBuffer(pixels.length(), stride, rows, cl, ct, cr, cb)) {
        return 0;
    }
    const fixed step = scale == 0x8000 ? 0x8000 : 0x40000000 / scale;
    const fixed u0 = fx::mul((cl << 15) - x, step);
    const fixed v = fx::mul((ct << 15) - y, step);
    const auto* src = reinterpret_cast<const uint32_t*>(m_pixels.data());
    auto* fb = reinterpret_cast<uint32_t*>(pixels.data());
    if (opacity == 0x8000) {
        return drawRows<true>(src, m_width, m_height, fb, stride, cl, ct, cr, cb, u0, v, step, depth,
                              opacity);
    }
    return drawRows<false>(src, m_width, m_height, fb, stride, cl, ct, cr, cb, u0, v, step, depth, opacity);
}

void Vpicture::drawShadow(const IntArray& pixels, int32_t stride, int32_t rows, int32_t cl, int32_t ct,
                          int32_t cr, int32_t cb, fixed x, fixed y, fixed scale, int32_t depth,
                          fixed opacity) {
    if (scale == 0) {
        return;
    }
    const int32_t count = pixelCount();
    if (count == 0 || m_pixels.length() != count) {
        return;
    }
    // The lean is measured from the caller's clip, before it is fitted to the buffer.
    const fixed step = scale == 0x8000 ? 0x8000 : 0x40000000 / scale;
    const fixed step2 = step * 2;
    fixed v = fx::mul((ct << 15) - y, step2);
    fixed shift = ((cl - (v >> 16)) << 15) - x;
    const int32_t originalLeft = cl;
    const int32_t originalTop = ct;
    if (!clipToBuffer(pixels.length(), stride, rows, cl, ct, cr, cb)) {
        return;
    }
    // Rows above the buffer still advance the stepping.
    const uint32_t rowsSkipped = static_cast<uint32_t>(ct - originalTop);
    v = static_cast<fixed>(static_cast<uint32_t>(v) + rowsSkipped * static_cast<uint32_t>(step2));
    shift = static_cast<fixed>(static_cast<uint32_t>(shift) - rowsSkipped * 0x8000u);
    const uint32_t columnsSkipped = static_cast<uint32_t>(cl - originalLeft);
    const auto* src = reinterpret_cast<const uint32_t*>(m_pixels.data());
    auto* fb = reinterpret_cast<uint32_t*>(pixels.data());
    const uint32_t tag = static_cast<uint32_t>(depth) << 24;
    for (int32_t yy = ct; yy < cb; ++yy) {
        const int32_t sourceRow = v >> 15;
        v += step2;
        fixed position = fx::mul(shift, step);
        shift -= 0x8000;
        position = static_cast<fixed>(static_cast<uint32_t>(position) +
                                      columnsSkipped * static_cast<uint32_t>(step));
        if (static_cast<uint32_t>(sourceRow) >= static_cast<uint32_t>(m_height)) {
            continue;
        }
        const uint32_t* row = src + sourceRow * m_width;
        uint32_t* dst = fb + yy * stride;
        for (int32_t xx = cl; xx < cr; ++xx) {
            const int32_t column = position >> 15;
            position += step;
            if (column < 0) {
                continue;
            }
            if (column >= m_width) {
                break;
            }
            int32_t level = static_cast<int32_t>((row[column] >> 29) & 7);
            if (level == 0) {
                continue;
            }
            const uint32_t d = dst[xx];
            if ((d >> 24) - static_cast<uint32_t>(depth) >= 4) {
                continue;
            }
            if (opacity != 0x8000) {
                level = (level * opacity) >> 15;
            }
            uint32_t out;
            if (level <= 2) {
                out = ((d >> 2) & 0x3F3F3F) + ((d >> 1) & 0x7F7F7F);
            } else if (level <= 4) {
                out = (d >> 1) & 0x7F7F7F;
            } else {
                out = (d >> 2) & 0x3F3F3F;
            }
            dst[xx] = out | tag;
        }
    }
}

}  // namespace fairholm
