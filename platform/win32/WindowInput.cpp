#include "platform/win32/WindowInput.h"

#include "platform/GameSession.h"
#include "platform/ShellInput.h"

namespace fairholm {

void WindowInput::button(Viewport& game, uintptr_t lParam, bool highResolution, bool down) {
    int32_t x = packedLow(lParam);
    int32_t y = packedHigh(lParam);
    if (highResolution) {
        x >>= 1;
        y >>= 1;
    }
    ShellInput::stylus(game, x, y, down);
}

bool WindowInput::resize(Viewport& game, int32_t windowWidth, int32_t windowHeight, bool highResolution) {
    if (windowWidth <= 0 || windowHeight <= 0) {
        return false;
    }
    game.setSize(GameSession::gameSize(windowWidth, highResolution),
                 GameSession::gameSize(windowHeight, highResolution));
    return true;
}

}  // namespace fairholm
