#pragma once

#include <cstdint>

#include "runtime/Array.h"
#include "runtime/Fixed.h"
#include "runtime/InputStream.h"
#include "runtime/Ref.h"
#include "runtime/String.h"
#include "runtime/V.h"

namespace fairholm {

// A proportional bitmap font with 16 coverage levels per pixel, read from its own
// small file. Glyphs are runs of (count, coverage) nibbles filling the glyph row by
// row. Characters are signed 8-bit values: codes 128..255 have no glyph.
class Vfont final : public V {
public:
    // Most glyphs a font keeps (from its first character on) and most glyph-data bytes
    // it reads.
    static constexpr int32_t maxGlyphs = 256;
    static constexpr int32_t maxDataLength = 1 << 22;

    Vfont() = default;

    virtual int32_t charWidth(int32_t c) const;
    // Draws the glyph of c with its top-left corner at the fixed-point (x, y), in the
    // ARGB colour at the given opacity, with a one-pixel drop shadow when opaque.
    virtual void drawChar(int32_t c, const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft,
                          int32_t clipTop, int32_t clipRight, int32_t clipBottom, fixed x, fixed y,
                          int32_t colour, fixed opacity) const;
    virtual int32_t getLineHeight() const { return m_lineHeight; }
    // Reads the font file `name` (with its extension) from the program directory.
    // False, leaving the font empty, when it does not open or declares impossible sizes.
    virtual bool load(const String& name);
    virtual int32_t readByte();
    virtual int32_t readVarInt();
    virtual int32_t textWidth(const String& text) const;

    int32_t spaceWidth() const { return m_spaceWidth; }
    int32_t sizeMetric() const { return m_sizeMetric; }
    int32_t firstChar() const { return m_firstChar; }
    int32_t lastChar() const { return m_lastChar; }
    const ByteArray& glyphData() const { return m_glyphData; }
    const IntArray& glyphOffsets() const { return m_glyphOffsets; }

private:
    void clear();

    ByteArray m_glyphData;
    int32_t m_sizeMetric = 0;
    int32_t m_lineHeight = 0;
    int32_t m_lastChar = 0;
    Ref<InputStream> m_stream;
    int32_t m_firstChar = 0;
    IntArray m_glyphOffsets;
    int32_t m_spaceWidth = 0;
    ShortArray m_glyphWidths;
};

}  // namespace fairholm
