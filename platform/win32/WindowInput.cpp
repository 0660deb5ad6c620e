#include "platform/win32/WindowInput.h"

namespace fairholm {

int32_t WindowInput::engineKey(uint32_t virtualKey) {
    switch (virtualKey) {
        case vkLeft:
            return 1;
        case vkRight:
            return 2;
        case vkUp:
            return 3;
        case vkDown:
            return 4;
        case vkReturn:
        case vkF1:
            return 5;
        case vkF2:
            return 6;
        case vkEscape:
            return 7;
        default:
            break;
    }
    if (virtualKey >= '0' && virtualKey <= '9') {
        return static_cast<int32_t>(virtualKey);
    }
    return 0;
}

bool WindowInput::queuedOnRelease(uint32_t virtualKey) {
    return virtualKey == vkF1 || virtualKey == vkF2 || virtualKey == vkEscape;
}

void WindowInput::keyDown(Viewport& game, uint32_t virtualKey) {
    const int32_t code = engineKey(virtualKey);
    if (code > 0) {
        game.keyPressed(code);
    }
}

void WindowInput::keyUp(Viewport& game, uint32_t virtualKey) {
    const int32_t code = engineKey(virtualKey);
    if (code <= 0) {
        return;
    }
    if (queuedOnRelease(virtualKey)) {
        game.keyPressed(code);
    }
    game.keyReleased(code);
}

void WindowInput::character(Viewport& game, uint32_t code) {
    if (code == 0 || code > 127 || code == 13 || code == 27 || (code >= '0' && code <= '9')) {
        return;
    }
    game.keyPressed(static_cast<int32_t>(code));
    game.keyReleased(static_cast<int32_t>(code));
}

void WindowInput::button(Viewport& game, uintptr_t lParam, bool highResolution, bool down) {
    int32_t x = packedLow(lParam);
    int32_t y = packedHigh(lParam);
    if (highResolution) {
        x >>= 1;
        y >>= 1;
    }
    game.setPointer(x, y);
    if (down) {
        game.keyPressed(5);
    } else {
        game.keyReleased(5);
    }
}

bool WindowInput::resize(Viewport& game, int32_t windowWidth, int32_t windowHeight, bool highResolution) {
    if (windowWidth <= 0 || windowHeight <= 0) {
        return false;
    }
    if (highResolution) {
        game.setSize(windowWidth >> 1, windowHeight >> 1);
    } else {
        game.setSize(windowWidth, windowHeight);
    }
    return true;
}

}  // namespace fairholm
