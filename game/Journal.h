#pragma once

#include <cstdint>

#include "runtime/Array.h"
#include "runtime/Clock.h"

namespace fairholm {

class Golf;

// Everything the game learns from outside itself passes through its journal when it has
// one, in the order the game asks: each key taken from the queue, each look at a key's
// state, at the stylus or at the size the window asks for, whether the loop may go on,
// the saved record read at start and whether a save worked, and (as the process clock)
// each tick count and sleep. A recorder writes these down as they come; a player answers
// them from a recording, so that the same game code makes the same frames again.
//
// The game calls it on its own thread only; the clock side may also be read before the
// game thread starts (the viewport's first frame time), never by two threads at once.
class Journal : public Clock {
public:
    // The game's loop starts (once): the journal takes the game's set-up.
    virtual void begin(Golf& game) = 0;

    // Each answer is given the live one (what the game would see without a journal).
    virtual int32_t key(int32_t live) = 0;
    virtual bool keyDown(int32_t code, bool live) = 0;
    virtual int32_t pointerX(int32_t live) = 0;
    virtual int32_t pointerY(int32_t live) = 0;
    // The window's size request, width in the high 32 bits (0: none yet).
    virtual uint64_t requestedSize(uint64_t live) = 0;
    virtual bool running(bool live) = 0;
    // The game moved the stylus itself (it forgets a tap it has used).
    virtual void pointerSet(int32_t x, int32_t y) = 0;

    // The saved record read at start: `whole` tells whether the file filled it. A player
    // puts the recorded bytes into `record` and answers the recorded `whole`.
    virtual bool savedRecord(bool whole, const ByteArray& record) = 0;
    // A saved file of some length read at start: `got` bytes of it in `buffer`, or -1
    // when there was none. A player puts the recorded bytes there and answers their count.
    virtual int32_t savedFile(int32_t got, const ByteArray& buffer) = 0;
    // Whether saves reach the disk; a player keeps the viewer's own file untouched.
    virtual bool writesFiles() const = 0;
    // The outcome of a save (when files are not written, `live` is true).
    virtual bool saved(bool live) = 0;

    // A stroke is played; `fingerprint` sums up the game at that moment (the frame and
    // the score), so a player can tell when the game no longer follows the recording.
    virtual void stroke(uint32_t fingerprint) = 0;

    // The game's loop has ended (called once, on the thread that ran it).
    virtual void finish() = 0;
};

}  // namespace fairholm
