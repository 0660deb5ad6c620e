#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fairholm::formats {

// Builds image pack files: varint header, then entries of 'r' run-length pictures
// (encoded here from 32-bit ARGB pixels), 'j' JPEG bodies sharing one 623-byte stream
// prefix with run-length alpha masks, or raw entries of any other type.
class PackWriter {
public:
    static constexpr int jpegPrefixLength = 623;
    static constexpr int historySize = 106;

    // Adds a picture encoded with the 'r' code. `argb` holds width × height pixels,
    // row-major, 0xAARRGGBB; colours are reduced to RGB555 and alpha to 8 levels.
    void addRunLength(int width, int height, int anchorX, int anchorY, const std::vector<uint32_t>& argb);
    // Adds an entry with its data exactly as given (any type letter but 'j').
    void addRaw(int type, int width, int height, int anchorX, int anchorY, std::vector<uint8_t> data);
    // Adds a JPEG picture: the stream body that follows the shared prefix, and the
    // alpha run bytes (empty for a picture without alpha).
    void addJpeg(int width, int height, int anchorX, int anchorY, std::vector<uint8_t> body,
                 std::vector<uint8_t> alphaRuns);

    // The shared JPEG prefix (padded or cut to 623 bytes). Zeros by default.
    void setJpegPrefix(std::vector<uint8_t> prefix);
    // Overrides the JPEG buffer size written in the header (default: 623 + the
    // largest body).
    void setJpegBufferSize(int size) { m_jpegBufferSize = size; }

    std::vector<uint8_t> bytes() const;
    bool save(const std::string& path) const;

    // Appends an unsigned varint: 7-bit groups, most significant first, bit 7 set on
    // every byte but the last.
    static void putVarInt(std::vector<uint8_t>& out, uint32_t value);
    // Alpha byte to level 0..7 (nearest).
    static int alphaLevel(uint32_t alpha);
    // The 'r' code for width × height ARGB pixels, choosing the shortest code for
    // every pixel and run.
    static std::vector<uint8_t> encodeRunLength(int width, int height, const std::vector<uint32_t>& argb);
    // Alpha run bytes for ARGB pixels: (count << 3) | level, count 1..32 (32 as 0).
    static std::vector<uint8_t> encodeAlphaRuns(const std::vector<uint32_t>& argb);
    // What the engine decodes from an ARGB pixel: RGB555 colour widened, alpha level
    // in bits 29..31 (0 for a transparent pixel).
    static uint32_t expectedPixel(uint32_t argb);

private:
    struct Entry {
        int type;
        int width, height, anchorX, anchorY;
        std::vector<uint8_t> data;
        std::vector<uint8_t> alpha;
    };
    std::vector<Entry> m_entries;
    std::vector<uint8_t> m_prefix = std::vector<uint8_t>(jpegPrefixLength, 0);
    int m_jpegBufferSize = -1;
};

}  // namespace fairholm::formats
