#pragma once

#include <cstdint>
#include <string>

#include "engine/sprite/Platform.h"
#include "engine/sprite/Vdisplay.h"
#include "game/Golf.h"
#include "runtime/Ref.h"

namespace fairholm {

// Start-up shared by every shell: the program directory, the display and the one game,
// sized to the window (half the window on screens 480 pixels wide or more).
class Launcher {
public:
    // Sets the program directory from the executable's path (argv[0] or the
    // platform's own answer).
    static void setProgramDirectory(const char* executablePath);

    // Whether a window of this width shows the game at half size, stretched by 2.
    static bool isHighResolution(int32_t windowWidth) { return windowWidth >= 480; }

    // The game's own size for a window of the given size.
    static int32_t gameSize(int32_t windowSize, bool highResolution) {
        return highResolution ? windowSize >> 1 : windowSize;
    }

    // The folder for the saved state: empty when the program directory is writable (it
    // is kept beside the game), else $XDG_DATA_HOME/fairholm/ or ~/.local/share/fairholm/
    // (created when missing), ending with a separator.
    static std::string chooseSaveDirectory();

    // Creates the display and the game, hands the display over and makes the first
    // size request. The game thread has not started yet.
    static Ref<Golf> createGame(Ref<Platform> platform, int32_t windowWidth, int32_t windowHeight);
};

}  // namespace fairholm
