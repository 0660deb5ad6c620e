#pragma once

#include <cstdint>

#include "runtime/Array.h"

namespace fairholm {

// The saved-state record "greenvale": six bytes, three 16-bit little-endian values: the
// next hole to play, the total of the holes before it, and the option flags.
class SavedState {
public:
    static constexpr int32_t size = 6;
    static constexpr int32_t holeOffset = 0;
    static constexpr int32_t totalOffset = 2;
    static constexpr int32_t flagsOffset = 4;
    static constexpr int32_t soundOff = 1;      // flag: sounds are off
    static constexpr int32_t femaleGolfer = 2;  // flag: the female golfer plays
    static constexpr const char* fileName = "greenvale";

    // The unsigned 16-bit value at `offset`, low byte first.
    static int32_t getShort(const ByteArray& record, int32_t offset);
    static void setShort(const ByteArray& record, int32_t offset, int32_t value);
    // Writes a whole record.
    static void store(const ByteArray& record, int32_t hole, int32_t total, int32_t flags);
};

}  // namespace fairholm
