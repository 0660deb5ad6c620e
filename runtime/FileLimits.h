#pragma once

#include <cstdint>

namespace fairholm {

// How much of each kind of data file the game reads at most: every limit is far above
// what the game's own files need (in brackets) and low enough that no file from outside
// can make the game allocate without bound or stall. A file over its limit is refused
// as a missing one is (an empty pack, a font without glyphs, a text left unchanged, a
// sound not played).
struct FileLimits {
    // Any file read through an input stream with no limit of its own.
    static constexpr int64_t unlimited = INT64_MAX;
    // The image pack "golf.bin" (130 KB).
    static constexpr int64_t imagePack = 8 << 20;
    // Pixels of one picture of a pack (the largest is 176 x 64), and of all its pictures
    // together (about 170,000): a picture over either is left without pixels.
    static constexpr int64_t picturePixels = 1024 * 1024;
    static constexpr int64_t packPixels = 4 * 1024 * 1024;
    // A bitmap font (4 KB).
    static constexpr int64_t font = 1 << 20;
    // A course pack or the wind arrow, shape files (4 KB).
    static constexpr int64_t shapeFile = 2 << 20;
    // The help text (6 KB).
    static constexpr int64_t helpText = 64 << 10;
    // A sound file (music, the longest, 240 KB).
    static constexpr int64_t sound = 8 << 20;
};

}  // namespace fairholm
