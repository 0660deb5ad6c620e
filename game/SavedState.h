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
    static constexpr int32_t knownFlags = soundOff | femaleGolfer;
    // The largest round total the scorecard shows (four digits).
    static constexpr int32_t maxTotal = 9999;
    static constexpr const char* fileName = "greenvale";

    // The unsigned 16-bit value at `offset`, low byte first.
    static int32_t getShort(const ByteArray& record, int32_t offset);
    static void setShort(const ByteArray& record, int32_t offset, int32_t value);
    // Writes a whole record.
    static void store(const ByteArray& record, int32_t hole, int32_t total, int32_t flags);

    // Whether the record's hole and total describe a real position: a hole of the course
    // (0 to 17) and a total the scorecard can show.
    static bool isRealPosition(const ByteArray& record);
    // Whether the option flags are ones the game knows.
    static bool hasKnownFlags(const ByteArray& record);
    // Makes a record read from outside (other programs, old versions, bad disks write
    // the file) safe to play from: one that describes no real position becomes a fresh
    // round (hole 0, total 0), flags with unknown bits become the defaults.
    static void sanitize(const ByteArray& record);
};

}  // namespace fairholm
