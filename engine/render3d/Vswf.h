#pragma once

#include <cstdint>

#include "engine/render3d/Vpolyn.h"
#include "runtime/Array.h"
#include "runtime/Fixed.h"
#include "runtime/InputStream.h"
#include "runtime/Ref.h"
#include "runtime/String.h"
#include "runtime/V.h"

namespace fairholm {

// Reads the filled shapes of an uncompressed SWF file into a polygon picture
// (Vpolyn), scaled so that the frame width fills the picture width, centred, and
// optionally turned about the frame centre. Every shape tag of the file goes into the
// one picture; all other tags are skipped. Outlines are never stroked, gradient and
// bitmap fills draw nothing, and curves become straight lines as fine as the pixel
// rows need.
//
// Damaged files end the picture where the data ends: reading past the end gives zero
// bits and stops the shape and the tag loop.
class Vswf : public V {
public:
    // Curves are split at most this deep (2^20 pieces), whatever their size.
    static constexpr int32_t maxCurveDepth = 20;

    Vswf();
    ~Vswf() override;

    // Squared distance (whole pixels) from P to the segment A-B, as the flatness test
    // of curves: 0 when P is A or B, 0x7FFFFFFF when A equals B or when P does not
    // project inside the segment.
    virtual int32_t lineDistanceSq(int32_t px, int32_t py, int32_t ax, int32_t ay, int32_t bx, int32_t by);
    virtual int32_t readU8();
    virtual uint32_t readBits(int32_t n);
    virtual int32_t readColor(int32_t version);
    virtual uint32_t readU32();
    virtual void skipMatrix();
    virtual void readRect();
    virtual int32_t readSignedBits(int32_t n);
    virtual int32_t readU16();
    // Reads a tag header, sets the tag end and returns the code; -1 at the end of
    // the file.
    virtual int32_t readTagHeader();
    virtual void alignBits();
    virtual void lineBy(int32_t dx, int32_t dy);
    // Draws the shapes of the named file into `target`, a picture of width x height
    // pixels with an edge array of `capacity` and `paletteSize` colours, turned by
    // `turn`. A file that does not open prints "Could not open " and leaves the
    // picture empty.
    virtual void load(Ref<Vpolyn> target, const String& name, int32_t width, int32_t height, int32_t capacity,
                      int32_t paletteSize, angle turn);
    virtual bool loadFile(const String& name, angle turn);
    virtual void readShape(int32_t version);
    // One shape record; true at the end record (or the end of the file).
    virtual bool readShapeRecord(int32_t version);
    virtual void readStyles(int32_t version);
    virtual void readTags();
    // Quadratic curve from P0 through control point (cx, cy) to P1, fixed pixels.
    virtual void addCurve(fixed x0, fixed y0, fixed cx, fixed cy, fixed x1, fixed y1);
    // Next byte of the file, or -1 at its end.
    virtual int32_t readByte();
    virtual void readPenMove(int32_t n);
    virtual void movePen(int32_t dx, int32_t dy);

    const Ref<Vpolyn>& target() const { return m_target; }
    int32_t filePosition() const { return m_filePosition; }
    int32_t tagEnd() const { return m_tagEnd; }
    bool atEnd() const { return m_atEnd; }
    // Last RECT read: xmin, xmax, ymin, ymax in twips.
    int32_t frameRect(int32_t i) const { return m_frameRect[i & 3]; }
    fixed m11() const { return m_m11; }
    fixed m12() const { return m_m12; }
    fixed m21() const { return m_m21; }
    fixed m22() const { return m_m22; }
    fixed penX() const { return m_penX; }
    fixed penY() const { return m_penY; }
    int32_t fill0() const { return m_fill0; }
    int32_t fill1() const { return m_fill1; }

private:
    void curve(fixed x0, fixed y0, fixed cx, fixed cy, fixed x1, fixed y1, int32_t depth);
    void line(fixed x0, fixed y0, fixed x1, fixed y1);
    int32_t styleIndex(uint32_t style) const;

    int32_t m_bitBuffer = 0;
    int32_t m_bitsLeft = 0;
    IntArray m_fillIndex;
    int32_t m_fillCount = 0;  // styles of the current array (entries 1..m_fillCount)
    Ref<Vpolyn> m_target;
    int32_t m_filePosition = 0;
    int32_t m_fill0 = 0;
    int32_t m_fill1 = 0;
    Ref<InputStream> m_stream;
    int32_t m_fillBits = 0;
    int32_t m_lineBits = 0;
    int32_t m_tagEnd = 0;
    fixed m_penX = 0;
    fixed m_penY = 0;
    int32_t m_frameRect[4] = {};
    fixed m_offsetX = 0;
    fixed m_offsetY = 0;
    fixed m_m11 = 0;
    fixed m_m12 = 0;
    fixed m_m22 = 0;
    fixed m_m21 = 0;
    int32_t m_shapeX = 0;
    int32_t m_shapeY = 0;
    int32_t m_originX = 0;
    int32_t m_originY = 0;
    ByteArray m_readBuffer;
    int32_t m_readPosition = 0;
    int32_t m_readCount = 0;
    bool m_atEnd = false;
};

}  // namespace fairholm
