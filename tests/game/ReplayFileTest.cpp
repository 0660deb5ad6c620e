// The replay file on its own: what the writer puts down the reader hands back, record
// for record; a file cut short is read up to its last whole record; anything else that
// is not a recording this game made (another format version, damaged bytes, values no
// game observes, too many bytes) is refused with a message saying why.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/sprite/Viewport.h"
#include "game/ReplayFormat.h"
#include "game/ReplayReader.h"
#include "game/ReplayWriter.h"

using namespace fairholm;

namespace {

using Entry = ReplayReader::Entry;
using Bytes = std::vector<uint8_t>;

bool contains(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

ReplayFormat::Header header(int32_t width = 240, int32_t height = 320, uint8_t flags = 0,
                            std::string gameVersion = "0.9.0") {
    ReplayFormat::Header h;
    h.width = width;
    h.height = height;
    h.flags = flags;
    h.gameVersion = std::move(gameVersion);
    return h;
}

Bytes varint(uint32_t value) {
    Bytes out;
    ReplayFormat::putVarint(out, value);
    return out;
}

Bytes zigzag(int32_t value) {
    Bytes out;
    ReplayFormat::putSigned(out, value);
    return out;
}

Bytes u32(uint32_t value) {
    Bytes out;
    ReplayFormat::putU32(out, value);
    return out;
}

Bytes join(std::initializer_list<Bytes> pieces) {
    Bytes out;
    for (const Bytes& piece : pieces) {
        out.insert(out.end(), piece.begin(), piece.end());
    }
    return out;
}

// A recording put together byte by byte, knowing where each record ends: also for
// records and counts no writer makes.
class RawFile {
public:
    explicit RawFile(const ReplayFormat::Header& h = header()) {
        ReplayFormat::writeHeader(m_bytes, h);
        m_headerEnd = m_bytes.size();
    }
    // A header of any bytes.
    explicit RawFile(const Bytes& headerBytes) : m_bytes(headerBytes), m_headerEnd(headerBytes.size()) {}

    RawFile& add(uint8_t kind, uint32_t hits, const Bytes& payload = {}) {
        lead(m_bytes, kind, hits);
        m_bytes.insert(m_bytes.end(), payload.begin(), payload.end());
        m_recordEnds.push_back(m_bytes.size());
        return *this;
    }
    // Bytes as they are (a lead byte of any kind, a payload of any length).
    RawFile& raw(const Bytes& bytes) {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }

    // The file closed by an End record with its checksum.
    Bytes ended(uint8_t reason = ReplayFormat::Finished, uint32_t hits = 0) const {
        Bytes out = m_bytes;
        lead(out, ReplayFormat::End, hits);
        out.push_back(reason);
        const Bytes crc = u32(ReplayFormat::crc32(out.data(), out.size()));
        out.insert(out.end(), crc.begin(), crc.end());
        return out;
    }
    const Bytes& records() const { return m_bytes; }
    size_t headerEnd() const { return m_headerEnd; }
    const std::vector<size_t>& recordEnds() const { return m_recordEnds; }

    static void lead(Bytes& out, uint8_t kind, uint32_t hits) {
        const uint32_t inlined = hits < 15 ? hits : 15;
        out.push_back(static_cast<uint8_t>(kind << 4 | inlined));
        if (inlined == 15) {
            ReplayFormat::putVarint(out, hits - 15);
        }
    }

private:
    Bytes m_bytes;
    size_t m_headerEnd = 0;
    std::vector<size_t> m_recordEnds;
};

// What a record is expected to read back as.
struct Expected {
    uint8_t kind;
    uint32_t hits;
    int32_t a = 0;
    int32_t b = 0;
    uint32_t fingerprint = 0;
    Bytes record = {};
};

// Writes the records with a writer, counting each one's predicted observations first.
void write(ReplayWriter& writer, const std::vector<Expected>& records) {
    for (const Expected& r : records) {
        for (uint32_t i = 0; i < r.hits; ++i) {
            writer.hit();
        }
        Bytes& out = writer.record(r.kind);
        switch (r.kind) {
            case ReplayFormat::Key:
            case ReplayFormat::PointerX:
            case ReplayFormat::PointerY:
            case ReplayFormat::Time:
                ReplayFormat::putSigned(out, r.a);
                break;
            case ReplayFormat::KeyDown:
                ReplayFormat::putVarint(out, static_cast<uint32_t>(r.a));
                break;
            case ReplayFormat::Size:
                ReplayFormat::putVarint(out, static_cast<uint32_t>(r.a));
                ReplayFormat::putVarint(out, static_cast<uint32_t>(r.b));
                break;
            case ReplayFormat::Record:
                out.push_back(static_cast<uint8_t>(r.b));
                out.push_back(static_cast<uint8_t>(r.record.size()));
                out.insert(out.end(), r.record.begin(), r.record.end());
                break;
            case ReplayFormat::Stroke:
                ReplayFormat::putU32(out, r.fingerprint);
                break;
            default:
                break;
        }
    }
}

void expectEntry(const Entry& e, const Expected& r, size_t index) {
    SCOPED_TRACE("record " + std::to_string(index) + " (" + ReplayFormat::kindName(r.kind) + ")");
    EXPECT_EQ(e.kind, r.kind);
    EXPECT_EQ(e.hits, r.hits);
    switch (r.kind) {
        case ReplayFormat::Key:
        case ReplayFormat::KeyDown:
        case ReplayFormat::PointerX:
        case ReplayFormat::PointerY:
        case ReplayFormat::Time:
            EXPECT_EQ(e.a, r.a);
            break;
        case ReplayFormat::Size:
            EXPECT_EQ(e.a, r.a);
            EXPECT_EQ(e.b, r.b);
            break;
        case ReplayFormat::Record:
            EXPECT_EQ(e.b, r.b);
            ASSERT_EQ(e.length, r.record.size());
            EXPECT_EQ(Bytes(e.bytes, e.bytes + e.length), r.record);
            break;
        case ReplayFormat::Stroke:
            EXPECT_EQ(e.fingerprint, r.fingerprint);
            break;
        default:
            break;
    }
}

std::vector<Entry> drain(ReplayReader& reader) {
    std::vector<Entry> entries;
    Entry e;
    while (reader.next(e)) {
        entries.push_back(e);
    }
    return entries;
}

// Every kind of record, its values at their limits, after counts around the lead
// byte's own (14, 15, 16) and beyond.
std::vector<Expected> everyKind() {
    Bytes sixteen;
    for (int i = 0; i < 16; ++i) {
        sixteen.push_back(static_cast<uint8_t>(i * 17));
    }
    return {
        {ReplayFormat::Key, 0, -128},
        {ReplayFormat::Key, 1, 127},
        {ReplayFormat::Key, 14, -1},
        {ReplayFormat::Key, 15, 1},
        {ReplayFormat::Key, 16, 'N'},
        {ReplayFormat::KeyDown, 0, 0},
        {ReplayFormat::KeyDown, 127 + 15, Viewport::lastKeyCode},
        {ReplayFormat::PointerX, 128 + 15, -2 * ReplayFormat::maxSide},
        {ReplayFormat::PointerX, 0, 2 * ReplayFormat::maxSide},
        {ReplayFormat::PointerY, 3, -1},
        {ReplayFormat::PointerY, 0, 0},
        {ReplayFormat::Size, 1000, 1, 1},
        {ReplayFormat::Size, 0, ReplayFormat::maxSide, ReplayFormat::maxSide},
        {ReplayFormat::Size, 0, 240, 320},
        {ReplayFormat::Time, 0, INT32_MIN},
        {ReplayFormat::Time, 0, INT32_MAX},
        {ReplayFormat::Time, 2, -1},
        {ReplayFormat::Time, 0, 0},
        {ReplayFormat::Time, 70000, 64},
        {ReplayFormat::Running, 0},
        {ReplayFormat::Running, 14},
        {ReplayFormat::Saved, 15},
        {ReplayFormat::Saved, 16},
        {ReplayFormat::Record, 0, 0, 0, 0, {}},
        {ReplayFormat::Record, 0, 0, 1, 0, {3, 0, 10, 0, 3, 0}},
        {ReplayFormat::Record, 5, 0, 1, 0, sixteen},
        {ReplayFormat::Stroke, 0, 0, 0, 0},
        {ReplayFormat::Stroke, 1, 0, 0, 0xFFFFFFFFu},
        {ReplayFormat::Stroke, 15, 0, 0, 0x80000001u},
    };
}

// A file with a record of every kind after a header of `version`, closed or not.
RawFile sampleFile(const std::string& version = "0.9.0") {
    RawFile f(header(480, 640, ReplayFormat::highResolutionFlag, version));
    f.add(ReplayFormat::Time, 0, zigzag(1000))
        .add(ReplayFormat::Record, 3, {0, 6, 1, 2, 3, 4, 5, 6})
        .add(ReplayFormat::Key, 40, zigzag('N'))
        .add(ReplayFormat::KeyDown, 2, varint(5))
        .add(ReplayFormat::Time, 15, zigzag(-300))
        .add(ReplayFormat::Stroke, 200000, u32(0x12345678))
        .add(ReplayFormat::Size, 1, join({varint(640), varint(480)}))
        .add(ReplayFormat::PointerX, 0, zigzag(-77))
        .add(ReplayFormat::PointerY, 0, zigzag(300))
        .add(ReplayFormat::Saved, 7)
        .add(ReplayFormat::Stroke, 14, u32(0xCAFEF00D))
        .add(ReplayFormat::Running, 16);
    return f;
}

// A file whose one record is `kind` after `hits`, with `payload`; closed properly, so
// a refusal is for what the record holds.
Bytes oneRecord(uint8_t kind, const Bytes& payload, uint32_t hits = 0) {
    RawFile f;
    f.add(kind, hits, payload);
    return f.ended();
}

struct Opened {
    bool accepted;
    std::string message;
};

Opened tryOpen(const Bytes& bytes) {
    ReplayReader reader;
    const bool accepted = reader.open(bytes);
    return {accepted, reader.message()};
}

}  // namespace

// ---------------------------------------------------------------------------------
// The format's values

TEST(ReplayFormatValues, VarintsHaveTheirKnownBytes) {
    EXPECT_EQ(varint(0), Bytes({0x00}));
    EXPECT_EQ(varint(127), Bytes({0x7F}));
    EXPECT_EQ(varint(128), Bytes({0x80, 0x01}));
    EXPECT_EQ(varint(300), Bytes({0xAC, 0x02}));
    EXPECT_EQ(varint(0xFFFFFFFFu), Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x0F}));
    EXPECT_EQ(zigzag(0), Bytes({0x00}));
    EXPECT_EQ(zigzag(-1), Bytes({0x01}));
    EXPECT_EQ(zigzag(1), Bytes({0x02}));
    EXPECT_EQ(zigzag(-2), Bytes({0x03}));
    EXPECT_EQ(zigzag(-64), Bytes({0x7F}));
    EXPECT_EQ(zigzag(64), Bytes({0x80, 0x01}));
    EXPECT_EQ(zigzag(INT32_MAX), Bytes({0xFE, 0xFF, 0xFF, 0xFF, 0x0F}));
    EXPECT_EQ(zigzag(INT32_MIN), Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x0F}));
    EXPECT_EQ(u32(0x12345678), Bytes({0x78, 0x56, 0x34, 0x12}));
}

TEST(ReplayFormatValues, VarintsReadBackAndRefuseWhatDoesNotFit) {
    for (uint32_t value : {0u, 1u, 127u, 128u, 16383u, 16384u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        const Bytes bytes = varint(value);
        size_t at = 0;
        uint32_t read = 0;
        EXPECT_EQ(ReplayFormat::getVarint(bytes.data(), bytes.size(), at, read), 0) << value;
        EXPECT_EQ(read, value);
        EXPECT_EQ(at, bytes.size());
        // Ending inside it: nothing read, nothing passed.
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            size_t from = 0;
            EXPECT_EQ(ReplayFormat::getVarint(bytes.data(), cut, from, read), 1)
                << value << " cut at " << cut;
            EXPECT_EQ(from, 0u);
        }
    }
    for (int32_t value : {0, 1, -1, 63, -64, 64, -65, INT32_MAX, INT32_MIN, INT32_MIN + 1}) {
        const Bytes bytes = zigzag(value);
        size_t at = 0;
        int32_t read = 7;
        EXPECT_EQ(ReplayFormat::getSigned(bytes.data(), bytes.size(), at, read), 0) << value;
        EXPECT_EQ(read, value);
    }
    // More than 32 bits: a fifth byte above 0x0F, or a sixth byte.
    const Bytes tooWide = {0xFF, 0xFF, 0xFF, 0xFF, 0x10};
    const Bytes tooLong = {0x80, 0x80, 0x80, 0x80, 0x80, 0x00};
    size_t at = 0;
    uint32_t read = 0;
    EXPECT_EQ(ReplayFormat::getVarint(tooWide.data(), tooWide.size(), at, read), -1);
    at = 0;
    EXPECT_EQ(ReplayFormat::getVarint(tooLong.data(), tooLong.size(), at, read), -1);
    // Read from the middle of a buffer.
    const Bytes two = {0x05, 0xAC, 0x02, 0x09};
    at = 1;
    EXPECT_EQ(ReplayFormat::getVarint(two.data(), two.size(), at, read), 0);
    EXPECT_EQ(read, 300u);
    EXPECT_EQ(at, 3u);
}

TEST(ReplayFormatValues, ChecksumIsCrc32) {
    const std::string check = "123456789";
    EXPECT_EQ(ReplayFormat::crc32(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xCBF43926u);
    EXPECT_EQ(ReplayFormat::crc32(nullptr, 0), 0u);
}

TEST(ReplayFormatValues, EveryKindHasAName) {
    for (uint8_t kind = 0; kind < ReplayFormat::kindCount; ++kind) {
        EXPECT_STRNE(ReplayFormat::kindName(kind), "unknown") << int(kind);
    }
    EXPECT_STREQ(ReplayFormat::kindName(ReplayFormat::kindCount), "unknown");
    EXPECT_STREQ(ReplayFormat::kindName(255), "unknown");
}

// ---------------------------------------------------------------------------------
// Written and read back

TEST(ReplayRoundTrip, EveryKindOfRecordReadsBackAsWritten) {
    const std::vector<Expected> records = everyKind();
    for (uint32_t endHits : {0u, 14u, 15u, 16u, 100000u}) {
        SCOPED_TRACE("end hits " + std::to_string(endHits));
        ReplayWriter writer;
        writer.setHeader(header(ReplayFormat::maxSide, ReplayFormat::maxSide, ReplayFormat::knownFlags,
                                "fairholm 0.9.0-rc1 (x86_64)"));
        write(writer, records);
        for (uint32_t i = 0; i < endHits; ++i) {
            writer.hit();
        }
        const Bytes file = writer.file(ReplayFormat::Finished);

        ReplayReader reader;
        ASSERT_TRUE(reader.open(file)) << reader.message();
        EXPECT_TRUE(reader.complete());
        EXPECT_EQ(reader.message(), "");
        EXPECT_EQ(reader.endReason(), ReplayFormat::Finished);
        EXPECT_EQ(reader.endHits(), endHits);
        EXPECT_EQ(reader.strokes(), 3);
        EXPECT_EQ(reader.fileBytes(), file.size());
        EXPECT_EQ(reader.header().formatVersion, ReplayFormat::version);
        EXPECT_EQ(reader.header().width, ReplayFormat::maxSide);
        EXPECT_EQ(reader.header().height, ReplayFormat::maxSide);
        EXPECT_EQ(reader.header().flags, ReplayFormat::knownFlags);
        EXPECT_EQ(reader.header().gameVersion, "fairholm 0.9.0-rc1 (x86_64)");
        ASSERT_EQ(reader.records(), records.size());
        const std::vector<Entry> entries = drain(reader);
        ASSERT_EQ(entries.size(), records.size());
        for (size_t i = 0; i < records.size(); ++i) {
            expectEntry(entries[i], records[i], i);
        }
        uint64_t observations = endHits;
        for (const Expected& r : records) {
            observations += r.hits + 1;
        }
        EXPECT_EQ(writer.observations(), observations);
    }
}

TEST(ReplayRoundTrip, CountsAroundTheLeadBytesOwnTakeTheBytesTheyShould) {
    // Up to 14 in the lead byte; 15 says a varint of the rest follows.
    const std::vector<std::pair<uint32_t, size_t>> sizes = {
        {0, 1}, {1, 1}, {14, 1}, {15, 2}, {16, 2}, {15 + 127, 2}, {15 + 128, 3}, {1u << 20, 4}};
    for (const auto& [hits, bytes] : sizes) {
        ReplayWriter writer;
        writer.setHeader(header());
        const size_t headerBytes = writer.file(ReplayFormat::Finished).size() - 6;
        for (uint32_t i = 0; i < hits; ++i) {
            writer.hit();
        }
        writer.record(ReplayFormat::Running);
        EXPECT_EQ(writer.recordBytes(), bytes) << hits;
        const Bytes file = writer.file(ReplayFormat::Finished);
        EXPECT_EQ(file[headerBytes], ReplayFormat::Running << 4 | (hits < 15 ? hits : 15)) << hits;
        // The writer's bytes are the ones the format describes.
        RawFile raw;
        raw.add(ReplayFormat::Running, hits);
        EXPECT_EQ(file, raw.ended()) << hits;
        ReplayReader reader;
        ASSERT_TRUE(reader.open(file)) << reader.message();
        Entry e;
        ASSERT_TRUE(reader.next(e));
        EXPECT_EQ(e.hits, hits);
        EXPECT_EQ(e.kind, ReplayFormat::Running);
    }
}

TEST(ReplayRoundTrip, HugeCountsReadBack) {
    for (uint32_t hits : {1u << 31, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        RawFile f;
        f.add(ReplayFormat::Stroke, hits, u32(hits)).add(ReplayFormat::Saved, hits - 1);
        ReplayReader reader;
        ASSERT_TRUE(reader.open(f.ended(ReplayFormat::Finished, hits))) << hits << ": " << reader.message();
        EXPECT_TRUE(reader.complete());
        EXPECT_EQ(reader.endHits(), hits);
        const std::vector<Entry> entries = drain(reader);
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].hits, hits);
        EXPECT_EQ(entries[0].fingerprint, hits);
        EXPECT_EQ(entries[1].hits, hits - 1);
    }
    // 15 and a rest of 2^32 - 15 make 2^32: no count holds it.
    RawFile f;
    f.raw({ReplayFormat::Running << 4 | 15}).raw(varint(0xFFFFFFFFu - 14));
    const Opened o = tryOpen(f.ended());
    EXPECT_FALSE(o.accepted);
    EXPECT_TRUE(contains(o.message, "a count that does not fit")) << o.message;
}

TEST(ReplayRoundTrip, HeaderFieldsAreKept) {
    for (uint8_t flags = 0; flags <= ReplayFormat::knownFlags; ++flags) {
        for (const auto& [width, height] : std::vector<std::pair<int32_t, int32_t>>{
                 {1, 1}, {240, 320}, {ReplayFormat::maxSide, 1}, {1, ReplayFormat::maxSide}}) {
            ReplayWriter writer;
            writer.setHeader(header(width, height, flags, ""));
            ReplayFormat::putU32(writer.record(ReplayFormat::Stroke), 9);
            ReplayReader reader;
            ASSERT_TRUE(reader.open(writer.file(ReplayFormat::Finished))) << reader.message();
            EXPECT_EQ(reader.header().width, width);
            EXPECT_EQ(reader.header().height, height);
            EXPECT_EQ(reader.header().flags, flags);
            EXPECT_EQ(reader.header().comfort(), (flags & ReplayFormat::comfortFlag) != 0);
            EXPECT_EQ(reader.header().pocketPC(), (flags & ReplayFormat::pocketPCFlag) != 0);
            EXPECT_EQ(reader.header().highResolution(), (flags & ReplayFormat::highResolutionFlag) != 0);
            EXPECT_EQ(reader.header().gameVersion, "");
        }
    }
    // The longest version name is kept; a longer one is cut to it.
    const std::string longest(ReplayFormat::maxGameVersion, 'v');
    for (const std::string& name : {longest, longest + "-and-more-than-fits"}) {
        ReplayWriter writer;
        writer.setHeader(header(240, 320, 0, name));
        ReplayReader reader;
        ASSERT_TRUE(reader.open(writer.file(ReplayFormat::Finished))) << reader.message();
        EXPECT_EQ(reader.header().gameVersion, longest);
    }
}

TEST(ReplayRoundTrip, AnUnfinishedRecordingIsWholeAndSaysTheGameStillRan) {
    ReplayWriter writer;
    writer.setHeader(header());
    write(writer, {{ReplayFormat::Time, 0, 1000}, {ReplayFormat::Stroke, 400, 0, 0, 77}});
    writer.hit();
    writer.hit();
    ReplayReader reader;
    ASSERT_TRUE(reader.open(writer.file(ReplayFormat::Unfinished)));
    EXPECT_TRUE(reader.complete());
    EXPECT_EQ(reader.endReason(), ReplayFormat::Unfinished);
    EXPECT_EQ(reader.endHits(), 2u);
    EXPECT_EQ(reader.strokes(), 1);
    EXPECT_TRUE(contains(reader.message(), "still running")) << reader.message();
}

TEST(ReplayRoundTrip, NextHandsOutEachRecordOnceAndRewindStartsAgain) {
    ReplayWriter writer;
    writer.setHeader(header());
    write(writer, {{ReplayFormat::Key, 0, 'a'}, {ReplayFormat::Key, 0, 'b'}});
    ReplayReader reader;
    ASSERT_TRUE(reader.open(writer.file(ReplayFormat::Finished)));
    Entry e;
    ASSERT_TRUE(reader.next(e));
    EXPECT_EQ(e.a, 'a');
    ASSERT_TRUE(reader.next(e));
    EXPECT_EQ(e.a, 'b');
    EXPECT_FALSE(reader.next(e));
    EXPECT_FALSE(reader.next(e));
    reader.rewind();
    ASSERT_TRUE(reader.next(e));
    EXPECT_EQ(e.a, 'a');
    // An empty recording: no records, a whole file.
    ReplayWriter empty;
    empty.setHeader(header());
    ASSERT_TRUE(reader.open(empty.file(ReplayFormat::Finished)));
    EXPECT_TRUE(reader.complete());
    EXPECT_EQ(reader.records(), 0u);
    EXPECT_FALSE(reader.next(e));
}

TEST(ReplayRoundTrip, OpeningAgainForgetsTheLastFile) {
    ReplayReader reader;
    ASSERT_TRUE(reader.open(sampleFile().ended(ReplayFormat::Unfinished, 3)));
    EXPECT_EQ(reader.records(), 12u);
    EXPECT_FALSE(reader.open({'n', 'o'}));
    EXPECT_EQ(reader.records(), 0u);
    EXPECT_FALSE(reader.complete());
    EXPECT_EQ(reader.strokes(), 0);
    ASSERT_TRUE(reader.open(sampleFile().records()));
    EXPECT_FALSE(reader.complete());
    EXPECT_EQ(reader.endHits(), 0u);
    EXPECT_EQ(reader.endReason(), ReplayFormat::Unfinished);
    EXPECT_EQ(reader.records(), 12u);
}

// ---------------------------------------------------------------------------------
// Cut short

TEST(ReplayCut, EveryCutIsRefusedInTheHeaderAndReadToItsLastWholeRecordAfterIt) {
    const RawFile f = sampleFile();
    const Bytes whole = f.ended(ReplayFormat::Finished, 33);
    ReplayReader full;
    ASSERT_TRUE(full.open(whole)) << full.message();
    ASSERT_TRUE(full.complete());
    const std::vector<Entry> all = drain(full);
    ASSERT_EQ(all.size(), f.recordEnds().size());

    for (size_t cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut) + " of " + std::to_string(whole.size()));
        ReplayReader reader;
        const bool accepted = reader.open(Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)));
        if (cut < f.headerEnd()) {
            EXPECT_FALSE(accepted);
            EXPECT_EQ(reader.records(), 0u);
            EXPECT_TRUE(contains(reader.message(), cut < 4 ? "not a Fairholm recording" : "cut short"))
                << reader.message();
            continue;
        }
        ASSERT_TRUE(accepted) << reader.message();
        EXPECT_FALSE(reader.complete());
        EXPECT_EQ(reader.endHits(), 0u);
        size_t wholeRecords = 0;
        int32_t strokes = 0;
        for (size_t end : f.recordEnds()) {
            if (end <= cut) {
                strokes += all[wholeRecords].kind == ReplayFormat::Stroke ? 1 : 0;
                ++wholeRecords;
            }
        }
        EXPECT_EQ(reader.records(), wholeRecords);
        EXPECT_LE(reader.records(), full.records());
        EXPECT_EQ(reader.strokes(), strokes);
        EXPECT_EQ(reader.message(),
                  "the recording is cut short after " + std::to_string(strokes) + " strokes");
        const std::vector<Entry> entries = drain(reader);
        ASSERT_EQ(entries.size(), wholeRecords);
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].kind, all[i].kind) << i;
            EXPECT_EQ(entries[i].hits, all[i].hits) << i;
            EXPECT_EQ(entries[i].a, all[i].a) << i;
            EXPECT_EQ(entries[i].fingerprint, all[i].fingerprint) << i;
        }
    }
}

TEST(ReplayCut, AWriterFileCutAnywhereNeverHandsOutMoreThanItHolds) {
    ReplayWriter writer;
    writer.setHeader(header(176, 220, ReplayFormat::comfortFlag | ReplayFormat::pocketPCFlag, "0.9.0"));
    write(writer, everyKind());
    const Bytes whole = writer.file(ReplayFormat::Finished);
    ReplayReader full;
    ASSERT_TRUE(full.open(whole));
    size_t last = 0;
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        ReplayReader reader;
        const bool accepted = reader.open(Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)));
        if (!accepted) {
            EXPECT_LT(cut, 17u) << reader.message();  // the header's bytes
            continue;
        }
        EXPECT_EQ(reader.complete(), cut == whole.size()) << cut;
        EXPECT_LE(reader.records(), full.records()) << cut;
        EXPECT_GE(reader.records(), last) << cut;  // a longer piece never has fewer
        last = reader.records();
    }
    EXPECT_EQ(last, full.records());
}

// A header with a short version name is whole in 12 or 13 bytes; cut right after it, the
// file holds no record but is a recording cut short all the same.
TEST(ReplayCut, CutRightAfterAShortHeaderIsReadAsCutShort) {
    for (const std::string& name : {std::string(), std::string("1")}) {
        RawFile f(header(240, 320, 0, name));
        ASSERT_LT(f.headerEnd(), 14u);
        ReplayReader reader;
        EXPECT_TRUE(reader.open(f.records())) << "version \"" << name << "\": " << reader.message();
        EXPECT_FALSE(reader.complete());
        EXPECT_EQ(reader.records(), 0u);
        // One whole record after it.
        f.add(ReplayFormat::Running, 0);
        EXPECT_TRUE(reader.open(f.records())) << "version \"" << name << "\": " << reader.message();
        EXPECT_EQ(reader.records(), 1u);
    }
}

// ---------------------------------------------------------------------------------
// Refused

TEST(ReplayRefused, AnotherFormatVersionIsNamed) {
    for (uint16_t version : {uint16_t{0}, uint16_t{2}, uint16_t{0x0100}, uint16_t{0xFFFF}}) {
        ReplayFormat::Header h = header();
        h.formatVersion = version;
        const Opened o = tryOpen(RawFile(h).ended());
        EXPECT_FALSE(o.accepted) << version;
        EXPECT_EQ(o.message,
                  "a recording of format version " + std::to_string(version) + "; this game reads version 1");
    }
}

TEST(ReplayRefused, BytesWithoutTheMagicAreNotARecording) {
    Bytes good = sampleFile().ended();
    for (size_t i = 0; i < 4; ++i) {
        Bytes bad = good;
        bad[i] ^= 0x20;  // "fHRP", "FhRP", ...
        const Opened o = tryOpen(bad);
        EXPECT_FALSE(o.accepted);
        EXPECT_EQ(o.message, "not a Fairholm recording");
    }
    for (const Bytes& other :
         {Bytes{}, Bytes{'F'}, Bytes{'F', 'H', 'R'}, Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10}}) {
        const Opened o = tryOpen(other);
        EXPECT_FALSE(o.accepted);
        EXPECT_EQ(o.message, "not a Fairholm recording");
    }
}

TEST(ReplayRefused, HeadersNoGameWrites) {
    const auto refused = [](const Bytes& headerBytes, const std::string& why) {
        const Opened o = tryOpen(RawFile(headerBytes).ended());
        EXPECT_FALSE(o.accepted) << why;
        EXPECT_TRUE(contains(o.message, why)) << o.message;
    };
    const auto headerOf = [](uint16_t width, uint16_t height, uint8_t flags, const Bytes& name) {
        Bytes h = {'F',
                   'H',
                   'R',
                   'P',
                   1,
                   0,
                   static_cast<uint8_t>(width),
                   static_cast<uint8_t>(width >> 8),
                   static_cast<uint8_t>(height),
                   static_cast<uint8_t>(height >> 8),
                   flags,
                   static_cast<uint8_t>(name.size())};
        for (const uint8_t c : name) {
            h.push_back(c);
        }
        return h;
    };
    const Bytes name = {'0', '.', '9'};
    EXPECT_TRUE(tryOpen(RawFile(headerOf(240, 320, 7, name)).ended()).accepted);
    refused(headerOf(0, 320, 0, name), "screen size");
    refused(headerOf(240, 0, 0, name), "screen size");
    refused(headerOf(4097, 320, 0, name), "screen size");
    refused(headerOf(240, 4097, 0, name), "screen size");
    refused(headerOf(0xFFFF, 0xFFFF, 0, name), "screen size");
    refused(headerOf(240, 320, 8, name), "settings this game does not know");
    refused(headerOf(240, 320, 0x80, name), "settings this game does not know");
    refused(headerOf(240, 320, 0, Bytes(32, 'v')), "version name is too long");
    refused(headerOf(240, 320, 0, {'0', 0x1F}), "version name is not text");
    refused(headerOf(240, 320, 0, {'0', 0x7F}), "version name is not text");
    refused(headerOf(240, 320, 0, {'0', 0xC3, 0xA9}), "version name is not text");
    // The name's length says more than there is.
    Bytes cut = headerOf(240, 320, 0, name);
    cut[11] = 30;
    const Opened o = tryOpen(cut);
    EXPECT_FALSE(o.accepted);
    EXPECT_TRUE(contains(o.message, "cut short before its first record")) << o.message;
}

TEST(ReplayRefused, AnyChangedByteIsFoundAsDamageOrACut) {
    const Bytes whole = sampleFile().ended(ReplayFormat::Finished, 20);
    int checksums = 0;
    for (size_t at = 0; at < whole.size(); ++at) {
        for (uint8_t flip : {0x01, 0x10, 0x80, 0xFF}) {
            Bytes bad = whole;
            bad[at] ^= flip;
            ReplayReader reader;
            const bool accepted = reader.open(bad);
            EXPECT_FALSE(accepted && reader.complete()) << "byte " << at << " ^ " << int(flip);
            EXPECT_FALSE(reader.message().empty());
            if (accepted) {
                EXPECT_TRUE(contains(reader.message(), "cut short")) << reader.message();
            } else if (contains(reader.message(), "its checksum does not match")) {
                ++checksums;
            }
        }
    }
    EXPECT_GT(checksums, 0);
    // A fingerprint's byte, and the checksum's own bytes, are found by the checksum.
    const RawFile f = sampleFile();
    const size_t strokeEnd = f.recordEnds()[5];
    for (size_t at : {strokeEnd - 1, strokeEnd - 4, whole.size() - 1, whole.size() - 4}) {
        Bytes bad = whole;
        bad[at] ^= 0x40;
        const Opened o = tryOpen(bad);
        EXPECT_FALSE(o.accepted);
        EXPECT_EQ(o.message, "the recording is damaged: its checksum does not match") << at;
    }
}

TEST(ReplayRefused, BytesAfterTheEnd) {
    const Bytes whole = sampleFile().ended();
    for (const Bytes& more : {Bytes{0}, Bytes{0xA0}, Bytes(100, 0x60), whole}) {
        Bytes longer = whole;
        longer.insert(longer.end(), more.begin(), more.end());
        const Opened o = tryOpen(longer);
        EXPECT_FALSE(o.accepted);
        EXPECT_EQ(o.message, "the recording is damaged: there is more after its end");
    }
}

TEST(ReplayRefused, KindsThisGameDoesNotKnow) {
    for (uint8_t kind = ReplayFormat::End + 1; kind < 16; ++kind) {
        for (uint8_t hits : {0, 3, 15}) {
            RawFile f;
            f.add(ReplayFormat::Running, 0).raw({static_cast<uint8_t>(kind << 4 | hits), 0, 0, 0, 0, 0});
            const Opened o = tryOpen(f.ended());
            EXPECT_FALSE(o.accepted) << int(kind);
            EXPECT_EQ(o.message,
                      "the recording is damaged: a record of a kind this game does not know at byte " +
                          std::to_string(f.recordEnds()[0]));
        }
    }
}

TEST(ReplayRefused, KeysNoKeyboardHas) {
    EXPECT_TRUE(tryOpen(oneRecord(ReplayFormat::Key, zigzag(-128))).accepted);
    EXPECT_TRUE(tryOpen(oneRecord(ReplayFormat::KeyDown, varint(Viewport::lastKeyCode))).accepted);
    for (int32_t code : {0, 128, -129, 1000, INT32_MAX, INT32_MIN}) {
        const Opened o = tryOpen(oneRecord(ReplayFormat::Key, zigzag(code)));
        EXPECT_FALSE(o.accepted) << code;
        EXPECT_TRUE(contains(o.message, "a key no keyboard has")) << o.message;
    }
    for (uint32_t code : {uint32_t(Viewport::lastKeyCode + 1), 63u, 64u, 0xFFFFFFFFu}) {
        const Opened o = tryOpen(oneRecord(ReplayFormat::KeyDown, varint(code)));
        EXPECT_FALSE(o.accepted) << code;
        EXPECT_TRUE(contains(o.message, "a key no keyboard has")) << o.message;
    }
}

TEST(ReplayRefused, StylusOffAnyScreen) {
    const int32_t edge = 2 * ReplayFormat::maxSide;
    for (uint8_t kind : {ReplayFormat::PointerX, ReplayFormat::PointerY}) {
        EXPECT_TRUE(tryOpen(oneRecord(kind, zigzag(edge))).accepted);
        EXPECT_TRUE(tryOpen(oneRecord(kind, zigzag(-edge))).accepted);
        for (int32_t at : {edge + 1, -edge - 1, INT32_MAX, INT32_MIN}) {
            const Opened o = tryOpen(oneRecord(kind, zigzag(at)));
            EXPECT_FALSE(o.accepted) << at;
            EXPECT_TRUE(contains(o.message, "a stylus position off any screen")) << o.message;
        }
    }
}

TEST(ReplayRefused, SizesTheGameDoesNotHave) {
    const uint32_t most = ReplayFormat::maxSide;
    for (const auto& [width, height] : std::vector<std::pair<uint32_t, uint32_t>>{{0, 320},
                                                                                  {240, 0},
                                                                                  {0, 0},
                                                                                  {most + 1, 320},
                                                                                  {240, most + 1},
                                                                                  {0xFFFFFFFFu, 1},
                                                                                  {1, 0x80000000u}}) {
        const Opened o = tryOpen(oneRecord(ReplayFormat::Size, join({varint(width), varint(height)})));
        EXPECT_FALSE(o.accepted) << width << " x " << height;
        EXPECT_TRUE(contains(o.message, "a screen size the game does not have")) << o.message;
    }
}

TEST(ReplayRefused, SavedRecordsThatDoNotFit) {
    // Up to 255 bytes (a saved round of several players is up to 160).
    EXPECT_TRUE(tryOpen(oneRecord(ReplayFormat::Record, join({{1, 16}, Bytes(16, 0xEE)}))).accepted);
    EXPECT_TRUE(tryOpen(oneRecord(ReplayFormat::Record, join({{0, 255}, Bytes(255, 0)}))).accepted);
    for (const Bytes& payload : {Bytes{2, 0}, Bytes{0xFF, 1, 0}}) {
        const Opened o = tryOpen(oneRecord(ReplayFormat::Record, payload));
        EXPECT_FALSE(o.accepted);
        EXPECT_TRUE(contains(o.message, "a saved record that does not fit")) << o.message;
    }
}

TEST(ReplayRefused, EndingsAndValuesThatDoNotFit) {
    RawFile f;
    f.add(ReplayFormat::Running, 0);
    Opened o = tryOpen(f.ended(2));
    EXPECT_FALSE(o.accepted);
    EXPECT_TRUE(contains(o.message, "an ending this game does not know")) << o.message;
    o = tryOpen(f.ended(0xFF));
    EXPECT_FALSE(o.accepted);

    for (uint8_t kind : {ReplayFormat::Time, ReplayFormat::Key, ReplayFormat::KeyDown, ReplayFormat::Size}) {
        o = tryOpen(oneRecord(kind, {0xFF, 0xFF, 0xFF, 0xFF, 0x10}));
        EXPECT_FALSE(o.accepted) << int(kind);
        EXPECT_TRUE(contains(o.message, "a value that does not fit")) << o.message;
        o = tryOpen(oneRecord(kind, {0x80, 0x80, 0x80, 0x80, 0x80, 0x01}));
        EXPECT_FALSE(o.accepted) << int(kind);
    }
    // A count of more than 32 bits.
    RawFile wide;
    wide.raw({ReplayFormat::Running << 4 | 15, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    o = tryOpen(wide.ended());
    EXPECT_FALSE(o.accepted);
    EXPECT_TRUE(contains(o.message, "a count that does not fit")) << o.message;
    EXPECT_TRUE(contains(o.message, "at byte " + std::to_string(wide.headerEnd()))) << o.message;
}

// ---------------------------------------------------------------------------------
// Size of a file

TEST(ReplayFileSize, MoreThanTheLimitIsRefusedByOpen) {
    Bytes huge = sampleFile().records();
    huge.resize(ReplayReader::maxFileBytes + 1, 0x60);  // Running records
    ReplayReader reader;
    EXPECT_FALSE(reader.open(huge));
    EXPECT_EQ(reader.message(), "too large to be a recording");
    EXPECT_EQ(reader.records(), 0u);

    // At the limit, the bytes are read (and here found damaged at their first record).
    Bytes atLimit = RawFile().records();
    const size_t first = atLimit.size();
    atLimit.resize(ReplayReader::maxFileBytes, 0xF0);
    EXPECT_FALSE(reader.open(atLimit));
    EXPECT_EQ(reader.message(),
              "the recording is damaged: a record of a kind this game does not know at byte " +
                  std::to_string(first));
}

TEST(ReplayFileSize, LoadReadsTheFileAndRefusesTooLargeOrMissingOnes) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("fairholm-replay-file-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const auto put = [](const fs::path& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    const Bytes whole = sampleFile().ended(ReplayFormat::Finished, 5);
    put(dir / "good.fhr", whole);
    ReplayReader reader;
    ASSERT_TRUE(reader.load((dir / "good.fhr").string())) << reader.message();
    EXPECT_TRUE(reader.complete());
    EXPECT_EQ(reader.records(), 12u);
    EXPECT_EQ(reader.fileBytes(), whole.size());

    Bytes huge = whole;
    huge.resize(ReplayReader::maxFileBytes + 1, 0);
    put(dir / "huge.fhr", huge);
    EXPECT_FALSE(reader.load((dir / "huge.fhr").string()));
    EXPECT_TRUE(contains(reader.message(), "too large to be a recording")) << reader.message();
    EXPECT_EQ(reader.records(), 0u);

    const std::string missing = (dir / "missing.fhr").string();
    EXPECT_FALSE(reader.load(missing));
    EXPECT_EQ(reader.message(), "cannot read " + missing);
    EXPECT_FALSE(reader.load(dir.string()));  // a folder

    std::error_code ignored;
    fs::remove_all(dir, ignored);
}
