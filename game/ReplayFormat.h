#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fairholm {

// The replay file: what a game observed, compactly. Little-endian throughout.
//
//   header   "FHRP", format version (u16), the game's first size (u16 width, u16
//            height), set-up flags (u8: comfort, Pocket PC, high resolution), and the
//            game's version (u8 length, then that many ASCII bytes)
//   records  one for each observation the model did not predict (see ReplayModel):
//            a lead byte, kind in the high 4 bits and in the low 4 the number of
//            predicted observations before this one (15: a varint with the rest
//            follows), then the kind's payload
//   end      the End record (its lead byte counts the predicted observations after
//            the last record): reason (u8) and the CRC-32 of every byte before it
//
// Payloads: Key a zigzag varint code; KeyDown a varint key code (the state flips);
// PointerX, PointerY a zigzag varint; Size varint width and height; Time a zigzag varint
// difference from the predicted tick count; Running and Saved nothing (they flip);
// Record u8 whole (the file was there), u8 length and the bytes; Stroke a u32
// fingerprint.
class ReplayFormat {
public:
    static constexpr uint8_t magic[4] = {'F', 'H', 'R', 'P'};
    static constexpr uint16_t version = 1;
    static constexpr int32_t maxSide = 4096;
    static constexpr size_t maxGameVersion = 31;
    static constexpr int32_t maxRecordBytes = 255;
    static constexpr uint32_t inlineHits = 15;
    // The file name extension of recordings.
    static constexpr const char* extension = ".fhr";

    enum Kind : uint8_t {
        Key = 0,
        KeyDown = 1,
        PointerX = 2,
        PointerY = 3,
        Size = 4,
        Time = 5,
        Running = 6,
        Saved = 7,
        Record = 8,
        Stroke = 9,
        End = 10,
    };
    static constexpr uint8_t kindCount = 11;

    // Why a recording ends.
    enum Reason : uint8_t {
        Finished = 0,    // the game's loop ended (the player left, the window closed)
        Unfinished = 1,  // written while the game still ran
    };

    // Set-up flags.
    static constexpr uint8_t comfortFlag = 1;
    static constexpr uint8_t pocketPCFlag = 2;
    static constexpr uint8_t highResolutionFlag = 4;
    static constexpr uint8_t knownFlags = comfortFlag | pocketPCFlag | highResolutionFlag;

    struct Header {
        uint16_t formatVersion = version;
        int32_t width = 0;
        int32_t height = 0;
        uint8_t flags = 0;
        std::string gameVersion;

        bool comfort() const { return (flags & comfortFlag) != 0; }
        bool pocketPC() const { return (flags & pocketPCFlag) != 0; }
        bool highResolution() const { return (flags & highResolutionFlag) != 0; }
    };

    static const char* kindName(uint8_t kind);

    static void writeHeader(std::vector<uint8_t>& out, const Header& header);
    static void putVarint(std::vector<uint8_t>& out, uint32_t value);
    static void putSigned(std::vector<uint8_t>& out, int32_t value);
    static void putU32(std::vector<uint8_t>& out, uint32_t value);

    // Reads a varint of at most 5 bytes from bytes[at..end): 0 when it was read (`at`
    // moves past it), 1 when the bytes end inside it, -1 when it does not fit 32 bits.
    static int getVarint(const uint8_t* bytes, size_t end, size_t& at, uint32_t& value);
    static int getSigned(const uint8_t* bytes, size_t end, size_t& at, int32_t& value);

    static uint32_t crc32(const uint8_t* bytes, size_t length);
};

}  // namespace fairholm
