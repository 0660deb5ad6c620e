#include "engine/render3d/Vterrain.h"

#include "engine/render3d/RayBatch.h"

#include <algorithm>
#include <atomic>

#include "engine/sprite/Vilib.h"
#include "engine/sprite/Vpicture.h"

namespace fairholm {

namespace {

constexpr int32_t textureSide = 32;
constexpr int32_t textureTexels = textureSide * textureSide;
constexpr int32_t greenImage = 4;

// Stands in for a texture the image pack cannot give.
const int32_t missingTexture[textureTexels] = {};

// a + (((b - a) * f) >> 15) per channel, packed opaque; `a` itself when both are equal.
inline int32_t blendTexels(int32_t a, int32_t b, int32_t f) {
    if (a == b) {
        return a;
    }
    const int32_t ar = (a >> 16) & 0xFF;
    const int32_t ag = (a >> 8) & 0xFF;
    const int32_t ab = a & 0xFF;
    const int32_t red = ar + ((((b >> 16) & 0xFF) - ar) * f >> 15);
    const int32_t green = ag + ((((b >> 8) & 0xFF) - ag) * f >> 15);
    const int32_t blue = ab + (((b & 0xFF) - ab) * f >> 15);
    return static_cast<int32_t>(0xFF000000u + static_cast<uint32_t>((red << 16) + (green << 8) + blue));
}

}  // namespace

Vterrain::Vterrain(int32_t width, int32_t height, bool backBuffer) {
    setSize(width, height);
    if (!backBuffer) {
        releaseBuffer();
    }
    m_groundDirty = 1;
}

Vterrain::~Vterrain() = default;

void Vterrain::setTerrain(Ref<VpolyTerrain> terrain) {
    m_terrain = std::move(terrain);
    m_groundDirty = 1;
}

void Vterrain::setTextures(Ref<Vilib> textures) {
    m_textures = std::move(textures);
    m_textureImage = -1;
    m_texels = nullptr;
    m_texturePixels.release();
    m_atlas.clear();
    m_groundDirty = 1;
}

void Vterrain::setSize(int32_t w, int32_t h) {
    const bool changed = w != m_width || h != m_height;
    Viewport::setSize(w, h);
    if (changed && !m_columnTop.isEmpty()) {
        m_columnTop = newShortArray(w);
    }
}

void Vterrain::paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft, int32_t clipTop,
                     int32_t clipRight, int32_t clipBottom) {
    const IntArray& buffer = backBuffer();
    if (buffer.isEmpty()) {
        drawTerrain(pixels, stride, rows, clipLeft, clipTop, clipRight, clipBottom);
    } else {
        if (m_groundDirty) {
            drawTerrain(buffer, m_width, m_height, clipLeft, clipTop, clipRight, clipBottom);
            // Clean only when the whole view was drawn.
            if (clipLeft <= 0 && clipTop <= 0 && clipRight == m_width && clipBottom == m_height) {
                m_groundDirty = 0;
            }
        }
        Viewport::paint(pixels, stride, rows, clipLeft, clipTop, clipRight, clipBottom);
    }
    paintChildren(pixels, stride, rows, clipLeft, clipTop, clipRight, clipBottom);
}

int32_t Vterrain::childKey(const Vsprite& child) {
    // FNV-1a over the four words.
    uint32_t h = 0x811C9DC5u;
    for (const int32_t v : {child.getWorldX(), child.getWorldY(), child.getWorldZ(), child.getFrame()}) {
        h = (h ^ static_cast<uint32_t>(v)) * 0x01000193u;
    }
    return static_cast<int32_t>(h);
}

void Vterrain::layout(fixed absoluteX, fixed absoluteY, fixed absoluteScale) {
    const Camera camera{m_width, m_height, m_horizon, m_heading, m_worldX, m_worldY, m_worldZ};
    if (m_cameraLaidOut && camera == m_camera && !m_groundDirty) {
        for (Vsprite* child = firstChild(); child; child = child->next()) {
            const int32_t key = childKey(*child);
            if (key != child->storedLayoutKey()) {
                child->setStoredLayoutKey(key);
                child->invalidate();
                projectSprite(*child);
                child->invalidate();
            }
        }
        return;
    }
    m_camera = camera;
    m_cameraLaidOut = true;
    m_groundDirty = 1;
    if (absoluteScale == fx::one) {
        absoluteX += m_x;
        absoluteY += m_y;
        absoluteScale = m_scale;
    } else {
        absoluteX += fx::mul(m_x, absoluteScale);
        absoluteY += fx::mul(m_y, absoluteScale);
        absoluteScale = fx::mul(m_scale, absoluteScale);
    }
    computeBounds(absoluteX, absoluteY, absoluteScale);
    invalidate();
    for (Vsprite* child = firstChild(); child; child = child->next()) {
        child->setStoredLayoutKey(childKey(*child));
        projectSprite(*child);
    }
}

void Vterrain::projectSprite(Vsprite& sprite) {
    const fixed dx = sprite.getWorldX() - m_worldX;
    const fixed dz = m_worldZ - sprite.getWorldZ();
    const fixed depth = fx::mul(m_sinHeading, dx) + fx::mul(m_cosHeading, dz);
    const fixed lateral = fx::mul(m_cosHeading, dx) - fx::mul(m_sinHeading, dz);
    if (depth < nearestDepth || depth > farthestDepth) {
        sprite.setBounds(0, 0, 0, 0);
        return;
    }
    const int64_t f = (int64_t{1} << 39) / depth;
    const fixed screenX = static_cast<fixed>((f * lateral) >> 15) + m_width * 16384;
    const fixed screenY =
        m_horizon * 32768 - static_cast<fixed>((f * static_cast<fixed>(sprite.getWorldY() - m_worldY)) >> 15);
    const fixed scale = static_cast<fixed>((f * sprite.getScale()) >> 15);
    sprite.computeBounds(screenX, screenY, scale);
    sprite.setZ((depth >> 1) - 32768);
}

void Vterrain::paintChildren(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft,
                             int32_t clipTop, int32_t clipRight, int32_t clipBottom) {
    for (Vsprite* child = firstChild(); child; child = child->next()) {
        Vilib* pack = child->pack();
        if (!pack) {
            continue;
        }
        const int32_t boxTop = child->top();
        const int32_t boxBottom = child->bottom();
        const int32_t half = (boxBottom - boxTop) / 2;
        const bool shadow = child->slanted();
        int32_t l = child->left();
        if (shadow) {
            l += half;
        }
        l = l > clipLeft ? l : clipLeft;
        const int32_t t = boxTop > clipTop ? boxTop : clipTop;
        const int32_t r = child->right() < clipRight ? child->right() : clipRight;
        const int32_t b = boxBottom < clipBottom ? boxBottom : clipBottom;
        const int32_t depth = child->z() >> 15;
        if (l < r && t < b) {
            child->setHiddenPixels(pack->drawImage(child->getFrame(), pixels, stride, rows, l, t, r, b,
                                                   child->absX(), child->absY(), child->effectiveScale(),
                                                   depth, child->getOpacity()));
        }
        if (!shadow) {
            continue;
        }
        const int32_t shadowTop = boxBottom - half;
        const int32_t sl = child->left() > clipLeft ? child->left() : clipLeft;
        const int32_t st = shadowTop > clipTop ? shadowTop : clipTop;
        if (sl >= r || st >= b) {
            continue;
        }
        Ref<Vpicture> picture = pack->loadPicture(child->getFrame());
        if (picture) {
            picture->drawShadow(pixels, stride, rows, sl, st, r, b, child->absX() - half * 32768,
                                shadowTop * 32768, child->effectiveScale(), depth + 1, 0x80);
        }
    }
}

const int32_t* Vterrain::fetchTexture(int32_t image) {
    m_textureImage = image;
    m_texels = missingTexture;
    m_texturePixels.release();
    if (m_textures) {
        Ref<Vpicture> picture = m_textures->loadPicture(image);
        if (picture && picture->pixels().length() >= textureTexels) {
            m_texturePixels = picture->pixels();
            m_texels = m_texturePixels.data();
        }
    }
    return m_texels;
}

void Vterrain::drawTerrain(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft,
                           int32_t clipTop, int32_t clipRight, int32_t clipBottom) {
    // Never past the target, the view or the per-row and per-column tables.
    int32_t l = clipLeft < 0 ? 0 : clipLeft;
    int32_t t = clipTop < 0 ? 0 : clipTop;
    int32_t r = clipRight;
    int32_t b = clipBottom;
    if (stride <= 0 || rows <= 0 || static_cast<int64_t>(stride) * rows > pixels.length()) {
        return;
    }
    if (r > stride) {
        r = stride;
    }
    if (b > rows) {
        b = rows;
    }
    if (l >= r || t >= b) {
        return;
    }
    if (m_terrain) {
        m_terrain->resetSpanMemo();
    }
    m_textureImage = -1;
    m_texels = nullptr;
    int32_t* target = pixels.data();
    const bool direct = backBuffer().isEmpty();
    if (m_terrain && m_terrain->gridLevels() && RayBatch::available() && m_terrain->regionCells() &&
        m_terrain->heightQuads() && m_terrain->heightWindows() && m_atlas.prepare(*m_terrain, m_textures) &&
        ensureRayScratch()) {
        castBatches(target, stride, l, t, r, b, direct);
        return;
    }
    for (int32_t x = l; x < r; ++x) {
        const int32_t start = groundStart(x, t);
        if (start - 2 < b) {
            finishColumn(target, stride, x, t, castColumn(target, stride, x, t, b), direct ? t : start);
        }
    }
    m_texturePixels.release();
    m_texels = nullptr;
}

void Vterrain::castBatches(int32_t* target, int32_t stride, int32_t left, int32_t top, int32_t right,
                           int32_t bottom, bool direct) {
    RayBatch::Frame frame;
    frame.target = target;
    frame.stride = stride;
    frame.top = top;
    frame.bottom = bottom;
    frame.horizon = m_horizon;
    frame.cameraX = m_worldX;
    frame.cameraY = m_worldY;
    frame.cameraZ = m_worldZ;
    frame.cosHeading = m_cosHeading;
    frame.sinHeading = m_sinHeading;
    frame.terrain = m_terrain.ptr();
    frame.texels = m_atlas.texels();
    frame.unfiltered = m_atlas.entriesShowing(greenImage);
    frame.cells = m_terrain->regionCells();
    frame.quads = m_terrain->heightQuads();
    frame.windows = m_terrain->heightWindows();
    frame.kernel = RayBatch::kernel();

    // Chunks of columns go to whichever thread is free; each column's pixels, sky and
    // column top are its thread's alone.
    const int32_t chunkColumns = RayBatch::columnsPerCast(frame.kernel);
    const int32_t chunks = (right - left + chunkColumns - 1) / chunkColumns;
    std::atomic<int32_t> nextChunk{0};
    const auto castChunks = [&](const IntArray& scratch) {
        RayBatch rays(frame, scratch);
        int32_t columns[RayBatch::maxColumnsPerCast];
        int32_t skyStarts[RayBatch::maxColumnsPerCast];
        int32_t rows[RayBatch::maxColumnsPerCast];
        for (int32_t chunk = nextChunk.fetch_add(1); chunk < chunks; chunk = nextChunk.fetch_add(1)) {
            const int32_t from = left + chunk * chunkColumns;
            const int32_t to = std::min(from + chunkColumns, right);
            int32_t count = 0;
            for (int32_t x = from; x < to; ++x) {
                const int32_t start = groundStart(x, top);
                if (start - 2 < bottom) {
                    columns[count] = x;
                    skyStarts[count] = direct ? top : start;
                    ++count;
                }
            }
            if (count > 0) {
                rays.cast(columns, count, rows);
                for (int32_t i = 0; i < count; ++i) {
                    finishColumn(target, stride, columns[i], top, rows[i], skyStarts[i]);
                }
            }
        }
    };
    // The owner never waits for a helper that has not begun: once it has claimed the
    // last chunk itself, a job the helper did not take yet is withdrawn.
    const bool helped = chunks > 1 && m_helper.start([&] { castChunks(m_helperScratch); });
    castChunks(m_rayScratch);
    if (helped) {
        m_helper.finish();
    }
}

bool Vterrain::ensureRayScratch() {
    for (IntArray* scratch : {&m_rayScratch, &m_helperScratch}) {
        if (scratch->length() < RayBatch::scratchSize) {
            *scratch = newIntArray(RayBatch::scratchSize);
            if (scratch->isEmpty()) {
                return false;
            }
        }
    }
    return true;
}

int32_t Vterrain::castColumn(int32_t* target, int32_t stride, int32_t x, int32_t top, int32_t bottom) {
    VpolyTerrain* ground = m_terrain.ptr();
    int32_t row = bottom;
    if (ground) {
        const uint8_t* grid = ground->gridLevels();
        const fixed outside = ground->defaultHeight();
        const int32_t k = bottom - m_horizon;
        const int32_t u = (x - stride / 2) * 4;
        int32_t dX = ((u * m_cosHeading) >> 15) - ((-m_sinHeading) >> 4);
        int32_t dZ = ((u * m_sinHeading) >> 15) + ((-m_cosHeading) >> 4);
        int32_t m = 1;
        int32_t ri = 4;
        int32_t s = 576;
        int32_t hs = -4 * k;
        int32_t d = firstStep;
        bool missed = true;
        fixed px = m_worldX + firstStep * dX;
        fixed pz = m_worldZ + firstStep * dZ;
        fixed h = m_worldY - 576 * k;
        int32_t* out = target + static_cast<int64_t>(bottom) * stride + x;
        while (d < lastStep) {
            px += dX;
            pz += dZ;
            h += hs;
            const fixed g = VpolyTerrain::heightIn(grid, outside, px, pz);
            if (g - h < 1) {
                if (!missed || m > 31) {
                    missed = true;
                    s += ri;
                } else {
                    s += ri;
                    dX *= 2;
                    dZ *= 2;
                    ri *= 2;
                    m *= 2;
                    hs *= 2;
                }
            } else {
                missed = false;
                if (m < 2 || g - h <= s) {
                    const int32_t image = ground->imageOf(ground->regionAt(px, pz));
                    const int32_t* texels = texelsOf(image);
                    const int32_t tx = (px >> 14) & 31;
                    const int32_t tz = (pz >> 14) & 31;
                    int32_t colour = texels[tx + tz * textureSide];
                    if (dZ < 32768 && image != greenImage) {
                        const int32_t right = texels[((tx + 1) & 31) + tz * textureSide];
                        const int32_t below = texels[tx + ((tz + 1) & 31) * textureSide];
                        colour = blendTexels(colour, right, (px & 0x3FFF) * 2);
                        colour = blendTexels(colour, below, (pz & 0x3FFF) * 2);
                    }
                    const fixed slope =
                        (g - VpolyTerrain::heightIn(grid, outside, px + fx::one, pz + fx::one)) >> 1;
                    if (slope != 0) {
                        colour = ground->VpolyTerrain::shade(colour, slope);
                    }
                    const int32_t pixel = (colour & 0xFFFFFF) | ((d >> 5) << 24);
                    bool stopped = false;
                    while (h < g) {
                        --row;
                        out -= stride;
                        if (row < top) {
                            ++row;
                            d = lastStep;
                            stopped = true;
                            break;
                        }
                        hs += ri;
                        *out = pixel;
                        h += s;
                    }
                    if (stopped) {
                        break;
                    }
                    s += ri;
                } else {
                    px -= dX;
                    pz -= dZ;
                    h -= hs;
                    d -= m;
                    m >>= 1;
                    dX >>= 1;
                    dZ >>= 1;
                    hs >>= 1;
                    ri >>= 1;
                }
            }
            d += m;
        }
    }
    return row;
}

void Vterrain::finishColumn(int32_t* target, int32_t stride, int32_t x, int32_t top, int32_t row,
                            int32_t skyStart) {
    if (top == 0 && x < m_columnTop.length()) {
        m_columnTop[x] = static_cast<int16_t>(row);
    }
    const int32_t skyRows = m_skyColors.length();
    int32_t* out = target + static_cast<int64_t>(skyStart) * stride + x;
    for (int32_t y = skyStart; y < row; ++y, out += stride) {
        *out = y < skyRows ? m_skyColors[y] : (skyRows > 0 ? m_skyColors[skyRows - 1] : 0);
    }
}

void Vterrain::refreshBackground() {
    const IntArray& buffer = backBuffer();
    if (m_groundDirty && !buffer.isEmpty()) {
        m_groundDirty = 0;
        drawTerrain(buffer, m_width, m_height, 0, 0, m_width, m_height);
    }
}

void Vterrain::lookAt(fixed x, fixed z) {
    m_heading = atan2(x - m_worldX, m_worldZ - z);
    m_cosHeading = fx::cos(m_heading);
    m_sinHeading = fx::sin(m_heading);
}

void Vterrain::moveForward(fixed d) {
    setWorldPosition(m_worldX + fx::mul(m_sinHeading, d), m_worldY, m_worldZ - fx::mul(m_cosHeading, d));
}

void Vterrain::setHeading(angle heading) {
    const angle a = heading & 0x7FFF;
    if (a != m_heading) {
        m_heading = a;
        m_cosHeading = fx::cos(a);
        m_sinHeading = fx::sin(a);
    }
}

void Vterrain::setEyeHeight(fixed h) {
    if (m_terrain) {
        setWorldPosition(m_worldX, m_terrain->heightAt(m_worldX, m_worldZ) + h, m_worldZ);
    }
}

fixed Vterrain::keepAboveGround() {
    const fixed g = m_terrain ? m_terrain->heightAt(m_worldX, m_worldZ) : 0;
    if (m_worldY < g + 0x20000) {
        m_worldY = g + 0x20000;
    }
    return g;
}

void Vterrain::placeCamera(fixed x, fixed dy, fixed z) {
    const fixed g = m_terrain ? m_terrain->heightAt(x, z) : 0;
    setWorldPosition(x, g + dy, z);
}

void Vterrain::setSkyColors(int32_t top, int32_t bottom) {
    const int32_t rows = m_height > 0 ? m_height : 0;
    m_skyColors = newIntArray(rows);
    int32_t n = m_horizon + 10 < rows ? m_horizon + 10 : rows;
    const int32_t step = n > 0 ? 32768 / n : 0;
    for (int32_t i = 0; i < rows; ++i) {
        int32_t colour = bottom;
        if (i < n) {
            if (top == bottom) {
                colour = top;
            } else {
                const int32_t t = i * step;
                int32_t channels = 0;
                for (int32_t shift = 16; shift >= 0; shift -= 8) {
                    const int32_t a = (top >> shift) & 0xFF;
                    const int32_t c = a + ((((bottom >> shift) & 0xFF) - a) * t >> 15);
                    channels += c << shift;
                }
                colour = static_cast<int32_t>(0xFF000000u + static_cast<uint32_t>(channels));
            }
        }
        m_skyColors[i] = colour;
    }
    m_columnTop = newShortArray(m_width > 0 ? m_width : 0);
    m_groundDirty = 1;
}

}  // namespace fairholm
