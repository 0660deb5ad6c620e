// libFuzzer target: arbitrary bytes as a recording. The reader either refuses them with
// a message or hands out records that hold only what a game can observe; written again
// by the writer they read back the same. A player then answers a journal's questions
// from them without a game: once asked exactly what the recording holds (it must play
// to its end), once asked in a pattern of its own, on a real-time pace over a virtual
// clock with the viewer's controls (it must end, whatever it was asked).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/sprite/Viewport.h"
#include "game/ReplayFormat.h"
#include "game/ReplayPlayer.h"
#include "game/ReplayReader.h"
#include "game/ReplayWriter.h"
#include "runtime/Array.h"
#include "runtime/VirtualClock.h"

using namespace fairholm;

namespace {

using Entry = ReplayReader::Entry;

void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

bool sameEntry(const Entry& a, const Entry& b) {
    if (a.hits != b.hits || a.kind != b.kind || a.a != b.a || a.b != b.b || a.fingerprint != b.fingerprint ||
        a.length != b.length) {
        return false;
    }
    for (int32_t i = 0; i < ReplayFormat::maxRecordBytes; ++i) {
        if (a.bytes[i] != b.bytes[i]) {
            return false;
        }
    }
    return true;
}

// Every value a record holds is one a game can observe.
void checkEntry(const Entry& e) {
    check(e.kind < ReplayFormat::End);
    switch (e.kind) {
        case ReplayFormat::Key:
            check(e.a != 0 && e.a >= -128 && e.a <= 127);
            break;
        case ReplayFormat::KeyDown:
            check(e.a >= 0 && e.a <= Viewport::lastKeyCode);
            break;
        case ReplayFormat::PointerX:
        case ReplayFormat::PointerY:
            check(e.a >= -2 * ReplayFormat::maxSide && e.a <= 2 * ReplayFormat::maxSide);
            break;
        case ReplayFormat::Size:
            check(e.a >= 1 && e.a <= ReplayFormat::maxSide && e.b >= 1 && e.b <= ReplayFormat::maxSide);
            break;
        case ReplayFormat::Record:
            check((e.b == 0 || e.b == 1) && e.length <= ReplayFormat::maxRecordBytes);
            for (int32_t i = e.length; i < ReplayFormat::maxRecordBytes; ++i) {
                check(e.bytes[i] == 0);
            }
            break;
        default:
            break;
    }
}

// The records written again by the writer; they must read back the same.
void rewrite(const ReplayReader& original, const std::vector<Entry>& entries) {
    ReplayWriter writer;
    writer.setHeader(original.header());
    for (const Entry& e : entries) {
        for (uint32_t i = 0; i < e.hits; ++i) {
            writer.hit();
        }
        std::vector<uint8_t>& out = writer.record(e.kind);
        switch (e.kind) {
            case ReplayFormat::Key:
            case ReplayFormat::PointerX:
            case ReplayFormat::PointerY:
            case ReplayFormat::Time:
                ReplayFormat::putSigned(out, e.a);
                break;
            case ReplayFormat::KeyDown:
                ReplayFormat::putVarint(out, static_cast<uint32_t>(e.a));
                break;
            case ReplayFormat::Size:
                ReplayFormat::putVarint(out, static_cast<uint32_t>(e.a));
                ReplayFormat::putVarint(out, static_cast<uint32_t>(e.b));
                break;
            case ReplayFormat::Record:
                out.push_back(static_cast<uint8_t>(e.b));
                out.push_back(e.length);
                out.insert(out.end(), e.bytes, e.bytes + e.length);
                break;
            case ReplayFormat::Stroke:
                ReplayFormat::putU32(out, e.fingerprint);
                break;
            default:
                break;
        }
    }
    const uint32_t endHits = original.complete() ? original.endHits() : 0;
    for (uint32_t i = 0; i < endHits; ++i) {
        writer.hit();
    }
    ReplayReader again;
    check(again.open(writer.file(original.endReason())));
    check(again.complete());
    check(again.endReason() == original.endReason());
    check(again.endHits() == endHits);
    check(again.strokes() == original.strokes());
    check(again.records() == entries.size());
    check(again.header().width == original.header().width);
    check(again.header().height == original.header().height);
    check(again.header().flags == original.header().flags);
    check(again.header().gameVersion == original.header().gameVersion);
    Entry e;
    for (const Entry& expected : entries) {
        check(again.next(e) && sameEntry(e, expected));
    }
    check(!again.next(e));
}

// One observation of `kind`, as the game makes it. `alter` asks about another stroke
// than the recorded one.
void observe(ReplayPlayer& player, uint8_t kind, const Entry& e, ByteArray& record, bool alter) {
    switch (kind) {
        case ReplayFormat::Key:
            player.key(0);
            break;
        case ReplayFormat::KeyDown:
            player.keyDown(e.a, false);
            break;
        case ReplayFormat::PointerX:
            player.pointerX(0);
            break;
        case ReplayFormat::PointerY:
            player.pointerY(0);
            break;
        case ReplayFormat::Size:
            player.requestedSize(uint64_t{240} << 32 | 320);
            break;
        case ReplayFormat::Time:
            player.currentTimeMillis();
            break;
        case ReplayFormat::Running:
            player.running(true);
            break;
        case ReplayFormat::Saved:
            player.saved(true);
            break;
        case ReplayFormat::Record:
            player.savedRecord(false, record);
            break;
        case ReplayFormat::Stroke:
            player.stroke(alter ? ~e.fingerprint : e.fingerprint);
            break;
        default:
            break;
    }
}

// The questions of a frame that the model answers: the ones asked for predicted
// observations, round and round.
constexpr uint8_t predictedKinds[] = {ReplayFormat::Time,    ReplayFormat::Key,      ReplayFormat::KeyDown,
                                      ReplayFormat::Running, ReplayFormat::PointerX, ReplayFormat::PointerY,
                                      ReplayFormat::Size,    ReplayFormat::Saved};
constexpr size_t predictedCount = sizeof predictedKinds / sizeof predictedKinds[0];

// Asks the player exactly what the recording holds: it must play to its end, every
// stroke found as recorded.
void playFaithfully(const ReplayReader& reader, const std::vector<Entry>& entries) {
    auto clock = make<VirtualClock>(0);
    ReplayPlayer player(clock, reader, false);
    ByteArray record = newByteArray(6);
    size_t asked = 0;
    const auto predicted = [&](uint32_t hits) {
        for (uint32_t i = 0; i < hits; ++i, ++asked) {
            const uint8_t kind = predictedKinds[asked % predictedCount];
            Entry e;
            e.a = static_cast<int32_t>(asked % 64);  // a key in the model's range
            observe(player, kind, e, record, false);
            if (kind == ReplayFormat::Time) {
                player.sleep(16);
            }
        }
    };
    for (const Entry& e : entries) {
        predicted(e.hits);
        observe(player, e.kind, e, record, false);
        check(player.outcome() == ReplayPlayer::Outcome::Playing);
    }
    predicted(reader.complete() ? reader.endHits() : 0);
    check(player.outcome() == ReplayPlayer::Outcome::Playing);
    player.finish();
    const bool ended = reader.complete() && reader.endReason() == ReplayFormat::Finished;
    check(player.outcome() == (ended ? ReplayPlayer::Outcome::Ended : ReplayPlayer::Outcome::CutShort));
    check(player.strokesPlayed() == reader.strokes());
    check(!player.message().empty());
}

// Asks the player in a pattern of its own, driven by the records' kinds and values,
// with the viewer's controls on a real-time pace.
void playWildly(const ReplayReader& reader, const uint8_t* data, size_t size, bool realTime) {
    auto clock = make<VirtualClock>(1000);
    ReplayPlayer player(clock, reader, realTime);
    ByteArray record = newByteArray(6);
    ReplayReader walk = reader;
    walk.rewind();
    Entry e;
    size_t asked = 0;
    const size_t maxAsked = realTime ? 4096 : 65536;
    while (walk.next(e) && asked < maxAsked) {
        const uint8_t pick = size > 0 ? data[asked % size] : 0;
        const uint32_t hits = e.hits < 8 ? e.hits : 8;
        for (uint32_t i = 0; i < hits && asked < maxAsked; ++i, ++asked) {
            Entry any;
            any.a = static_cast<int32_t>(data[(asked * 7) % (size > 0 ? size : 1)] % 70) - 3;
            observe(player, predictedKinds[(pick + i) % predictedCount], any, record, false);
        }
        observe(player, e.kind, e, record, (pick & 7) == 7);
        ++asked;
        if ((pick & 3) == 0) {
            player.sleep(pick >> 2);
        }
        if ((pick & 0x30) == 0x30) {
            player.pointerSet(pick, -pick);
        }
        if (realTime && (pick & 0xC0) == 0xC0) {
            // Not Pause or Step: without a game nothing would take the pause back.
            constexpr ReplayPlayer::Control controls[] = {
                ReplayPlayer::Control::Slow, ReplayPlayer::Control::Fast, ReplayPlayer::Control::NextStroke,
                ReplayPlayer::Control::None};
            player.control(controls[pick & 3]);
        }
    }
    // The game going on past the recording's end.
    for (int i = 0; i < 4; ++i) {
        player.currentTimeMillis();
        player.running(true);
        player.key(0);
        player.sleep(16);
    }
    player.finish();
    player.finish();
    check(player.outcome() != ReplayPlayer::Outcome::Playing);
    check(player.strokesPlayed() <= reader.strokes());
    check(!player.message().empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReplayReader reader;
    if (!reader.open(std::vector<uint8_t>(data, data + size))) {
        check(!reader.message().empty());
        check(reader.records() == 0);
        Entry e;
        check(!reader.next(e));
        return 0;
    }
    check(reader.fileBytes() == size);
    check(reader.header().formatVersion == ReplayFormat::version);
    // A record takes a byte at least, after a header of twelve.
    check(reader.records() + 12 <= size);
    if (!reader.complete()) {
        check(reader.message().find("cut short") != std::string::npos);
        check(reader.endHits() == 0);
    } else {
        check(reader.message().empty() == (reader.endReason() == ReplayFormat::Finished));
    }

    std::vector<Entry> entries;
    Entry e;
    int32_t strokes = 0;
    uint64_t hits = reader.complete() ? reader.endHits() : 0;
    while (reader.next(e)) {
        checkEntry(e);
        strokes += e.kind == ReplayFormat::Stroke ? 1 : 0;
        hits += e.hits;
        entries.push_back(e);
    }
    check(!reader.next(e));
    check(entries.size() == reader.records());
    check(strokes == reader.strokes());

    // Asking every predicted observation takes as long as the counts say.
    constexpr uint64_t askable = uint64_t{1} << 18;
    if (hits <= askable) {
        rewrite(reader, entries);
        playFaithfully(reader, entries);
    }
    playWildly(reader, data, size, false);
    playWildly(reader, data, size, true);
    return 0;
}
