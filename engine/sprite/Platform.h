#pragma once

#include <cstdint>

#include "runtime/Object.h"

namespace fairholm {

// What the engine needs from the window system it runs on. Each shell implements it
// once; tests use a double that records the calls.
class Platform : public Object {
public:
    // The device is a Pocket PC (stylus, item prefixes) rather than a Smartphone.
    virtual bool isPocketPC() const = 0;

    // The window is 480 pixels wide or more: the frame buffer is half the window size
    // and is stretched by 2 when presented.
    virtual bool isHighResolution() const = 0;

    // Asks the window to repaint the rectangle (window pixels, right and bottom
    // exclusive) without erasing it. May be called from the game thread.
    virtual void invalidateWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;

    // Starts playing the sound file at `path` and returns at once.
    virtual void playSoundFile(const char* path) = 0;

    // Folder (ending with a separator) that holds the saved state, when it is not the
    // program directory: an installed game whose folder is read-only keeps it in the
    // user's data folder. Null means the program directory.
    virtual const char* saveDirectory() const { return nullptr; }

    // Replaces the file at `path` with `length` bytes in one step: the bytes go to a new
    // file of their own beside it, which then takes the old file's place, so that a
    // crash or a failed write never leaves a half-written file, and a file or link that
    // happens to have the temporary's name is never written through. False when any
    // step fails (the old file then stays as it was). The default uses the C library
    // alone; the shells use their system's own calls (no links followed, flushed to the
    // disk before the new file takes the old one's place).
    virtual bool replaceFile(const char* path, const uint8_t* bytes, int32_t length);

    // Asks the shell to end the program cleanly (the game has stopped its loop). The
    // default does nothing.
    virtual void requestExit() {}

    // Decodes a baseline JPEG stream into `pixels` (0xRRGGBB in the low 24 bits, row
    // by row, at most `pixelCount` words). Returns the number of pixels written. The
    // default decodes nothing and leaves the pixels untouched.
    virtual int32_t decodeJpeg(const uint8_t* stream, int32_t length, int32_t* pixels, int32_t pixelCount) {
        (void)stream;
        (void)length;
        (void)pixels;
        (void)pixelCount;
        return 0;
    }
};

}  // namespace fairholm
