#pragma once

#include <cstdint>

#include "engine/sprite/Platform.h"
#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace fairholm {

// The engine's bridge to the platform: device kind, sounds, small files, the JPEG hook
// of the image packs, and presenting rectangles of the frame buffer.
class Vdisplay final : public Object {
public:
    explicit Vdisplay(Ref<Platform> platform);

    // "PocketPC" or "Smartphone".
    Ref<String> deviceKind() const;

    // Starts the sound file `name` (program directory + name, a leading slash kept).
    // Always answers true; a path that does not fit is not played.
    bool playSound(const String& name);

    // Reads the named file into `buffer`; true when the whole buffer was filled.
    // False, with the buffer untouched, when the file does not open.
    bool loadBytes(const String& name, const ByteArray& buffer);
    // Reads at most the buffer's length of the named file: the number of bytes read, or
    // -1 when the file does not open.
    int32_t readBytes(const String& name, const ByteArray& buffer);

    // Writes the whole buffer as the named file, in one step (Platform::replaceFile): a
    // crash mid-write never leaves a half-written file behind. False when it failed.
    bool saveBytes(const String& name, const ByteArray& buffer);

    // Decodes `length` bytes of JPEG stream from `source` + `offset` into `pixels` from
    // `pixelOffset`. Ranges outside the arrays decode nothing.
    int32_t decodeJpeg(const ByteArray& source, int32_t offset, int32_t length, const IntArray& pixels,
                       int32_t pixelOffset);

    // Asks the window to repaint a rectangle of the frame buffer (doubled in
    // doubled-pixel mode).
    void invalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

    // Asks the shell to end the program.
    void requestExit() { m_platform->requestExit(); }

    // The frame buffer is shown with every pixel doubled.
    bool isDoubled() const;

    Platform& platform() const { return *m_platform; }

private:
    // Where the saved state lives: the platform's save folder, else the program directory.
    bool resolveSavePath(const String& name, char (&path)[260]) const;

    Ref<Platform> m_platform;
};

}  // namespace fairholm
