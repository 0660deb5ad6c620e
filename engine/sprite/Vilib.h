#pragma once

#include <cstdint>

#include "engine/sprite/Vdisplay.h"
#include "engine/sprite/Vpicture.h"
#include "runtime/Array.h"
#include "runtime/Fixed.h"
#include "runtime/InputStream.h"
#include "runtime/Ref.h"
#include "runtime/String.h"
#include "runtime/V.h"

namespace fairholm {

// An image pack: every picture of one file ("<name>.bin"), read whole at construction
// and decoded picture by picture on first draw. 'r' pictures use the pack's own
// run-length colour code with three alpha bits; 'j' pictures are baseline JPEG bodies
// that share the first 623 bytes of their stream, plus run-length alpha masks.
class Vilib final : public V {
public:
    // Length of the JPEG stream prefix that the pack stores once.
    static constexpr int32_t jpegPrefixLength = 623;
    // Entries in the process-wide colour history of the 'r' decoder.
    static constexpr int32_t historySize = 106;
    // Limits past which a pack is treated as damaged.
    static constexpr int32_t maxCount = 1 << 16;
    static constexpr int32_t maxEntryLength = 1 << 24;

    Vilib(Ref<Vdisplay> display, const String& name);

    // Draws picture `frame` at the fixed-point position (x, y) of its top-left corner.
    // Not yet decoded 'r' pictures drawn unscaled, opaque and whole are decoded
    // straight onto the frame buffer; everything else is decoded once and drawn from
    // memory. Returns the number of pixels the depth test hid.
    virtual int32_t drawImage(int32_t frame, const IntArray& pixels, int32_t stride, int32_t rows,
                              int32_t clipLeft, int32_t clipTop, int32_t clipRight, int32_t clipBottom,
                              fixed x, fixed y, fixed scale, int32_t depth, fixed opacity);
    // Frees decoded pictures not used recently until `bytesNeeded` bytes are freed.
    virtual bool evict(int32_t bytesNeeded);
    // The picture `frame`, or an empty handle for a frame outside the pack.
    virtual Ref<Vpicture> getPicture(int32_t frame);
    // The picture `frame`, decoded.
    virtual Ref<Vpicture> loadPicture(int32_t frame);
    virtual void open(const String& name);
    virtual int32_t readVarInt();

    int32_t count() const { return m_count; }
    int32_t evictCursor() const { return m_evictCursor; }
    const ByteArray& jpegBuffer() const { return m_jpegBuffer; }

    // Makes `frame` the next eviction candidate and clears its recently-used flag.
    void releaseImage(int32_t frame);

    // Decodes 'r' data into `out` (count pixels, row-major); pixels the codes skip
    // keep their value.
    static void decodeRunLength(const uint8_t* data, int32_t length, uint32_t* out, int32_t count);

    // Applies run-length alpha bytes to `count` decoded pixels.
    static void applyAlphaRuns(const uint8_t* data, int32_t length, uint32_t* out, int32_t count);

private:
    // Fills `array` from the open stream; bytes after the end of the file stay zero.
    void readFully(const ByteArray& array, int32_t offset, int32_t count);
    void drawDirect(const Vpicture& picture, uint32_t* fb, int32_t stride, int32_t left, int32_t top);

    Ref<InputStream> m_stream;
    int32_t m_evictCursor = 0;
    ByteArray m_jpegBuffer;
    int32_t m_count = 0;
    HandleArray<Vpicture> m_pictures;
    Ref<Vdisplay> m_display;
    bool m_endOfFile = false;
};

}  // namespace fairholm
