#include "engine/render3d/TextureAtlas.h"

#include <algorithm>

#include "engine/render3d/VpolyTerrain.h"
#include "engine/sprite/Vilib.h"
#include "engine/sprite/Vpicture.h"

namespace fairholm {

void TextureAtlas::clear() {
    m_library.release();
    m_texels.release();
    std::fill(std::begin(m_filled), std::end(m_filled), false);
}

bool TextureAtlas::prepare(const VpolyTerrain& terrain, const Ref<Vilib>& library) {
    if (library.ptr() != m_library.ptr()) {
        clear();
        m_library = library;
    }
    if (m_texels.isEmpty()) {
        m_texels = newIntArray(entries * slotSize);
        if (m_texels.isEmpty()) {
            return false;
        }
    }
    for (int32_t i = 0; i < entries; ++i) {
        const int32_t image = terrain.imageOf(i);
        if (m_filled[i] && m_images[i] == image) {
            continue;
        }
        int32_t* slot = m_texels.data() + i * slotSize;
        Ref<Vpicture> picture = library ? library->loadPicture(image) : Ref<Vpicture>();
        if (picture && picture->pixels().length() >= texelsPerTexture) {
            const int32_t* texels = picture->pixels().data();
            for (int32_t row = 0; row < side; ++row) {
                int32_t* out = slot + row * rowPitch;
                std::copy(texels + row * side, texels + (row + 1) * side, out);
                out[side] = out[0];
            }
        } else {
            std::fill(slot, slot + slotSize, 0);
        }
        m_images[i] = image;
        m_filled[i] = true;
    }
    return true;
}

uint64_t TextureAtlas::entriesShowing(int32_t image) const {
    uint64_t bits = 0;
    for (int32_t i = 0; i < entries; ++i) {
        if (m_filled[i] && m_images[i] == image) {
            bits |= uint64_t{1} << i;
        }
    }
    return bits;
}

}  // namespace fairholm
