#pragma once

#include <cstdint>

#include "runtime/Array.h"
#include "runtime/Ref.h"

namespace fairholm {

class Vilib;
class VpolyTerrain;

// The 32 x 32 ground texture of every palette entry of a terrain, side by side in
// one table: the texels of entry i start at i * slotSize, so a texel of any region is
// one offset from the same base. Each row of 32 texels is followed by a copy of its
// first, so that a texel's right neighbour (wrapping within the row) is always the
// next word. An entry whose texture the library cannot give gets black texels.
// Copies are kept until the entry's image or the library changes.
class TextureAtlas {
public:
    static constexpr int32_t side = 32;
    static constexpr int32_t texelsPerTexture = side * side;
    static constexpr int32_t rowPitch = side + 1;
    static constexpr int32_t slotSize = side * rowPitch;
    static constexpr int32_t entries = 64;

    TextureAtlas() = default;
    TextureAtlas(const TextureAtlas&) = delete;
    TextureAtlas& operator=(const TextureAtlas&) = delete;

    // Brings every entry up to date with the terrain's image table; false when
    // there is no memory for the table.
    bool prepare(const VpolyTerrain& terrain, const Ref<Vilib>& library);
    const int32_t* texels() const { return m_texels.data(); }
    // Bit i set: entry i shows image number `image` (the green's is not filtered).
    uint64_t entriesShowing(int32_t image) const;
    // Forgets every copy.
    void clear();

private:
    Ref<Vilib> m_library;
    IntArray m_texels;
    int32_t m_images[entries] = {};
    bool m_filled[entries] = {};
};

}  // namespace fairholm
