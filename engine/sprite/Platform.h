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
