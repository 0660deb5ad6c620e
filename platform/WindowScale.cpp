#include "platform/WindowScale.h"

#include <algorithm>

#include "platform/GameSession.h"

namespace fairholm {

namespace {

// A side of a window or game, at least one pixel (a minimised window may report none).
int32_t side(int32_t value) {
    return value < 1 ? 1 : value;
}

}  // namespace

WindowScale WindowScale::topLeft(bool highResolution) {
    return WindowScale(Mode::TopLeft, {}, highResolution ? 2 : 1);
}

WindowScale WindowScale::fit(Size firstWindow) {
    return WindowScale(Mode::Fit, firstGameSize(firstWindow), 1);
}

WindowScale WindowScale::fixed(int32_t factor) {
    return WindowScale(Mode::Fixed, {}, std::clamp(factor, int32_t{1}, maxFactor));
}

WindowScale::Size WindowScale::firstGameSize(Size window) {
    const bool high = GameSession::isHighResolution(window.width);
    return {side(GameSession::gameSize(side(window.width), high)),
            side(GameSession::gameSize(side(window.height), high))};
}

WindowScale::Size WindowScale::gameSize(Size window, Size current, bool fullscreen) const {
    window = {side(window.width), side(window.height)};
    switch (m_mode) {
        case Mode::TopLeft:
            if (fullscreen) {
                return current;
            }
            return {side(m_factor == 2 ? window.width >> 1 : window.width),
                    side(m_factor == 2 ? window.height >> 1 : window.height)};
        case Mode::Fit:
            if (fullscreen) {
                return current;
            }
            if (window.width >= m_logical.width && window.height >= m_logical.height) {
                return m_logical;
            }
            return window;
        case Mode::Fixed:
            return {side(window.width / m_factor), side(window.height / m_factor)};
    }
    return current;
}

int32_t WindowScale::factor(Size window, Size game) const {
    if (m_mode != Mode::Fit) {
        return m_factor;
    }
    game = {side(game.width), side(game.height)};
    const int32_t across = window.width / game.width;
    const int32_t down = window.height / game.height;
    return std::max(std::min(across, down), int32_t{1});
}

WindowScale::Rect WindowScale::picture(Size window, Size game) const {
    const int32_t f = factor(window, game);
    Rect rect{0, 0, game.width * f, game.height * f};
    if (m_mode != Mode::TopLeft) {
        // Halves rounded towards the top-left, also when the picture is larger.
        rect.x = (window.width - rect.width) >> 1;
        rect.y = (window.height - rect.height) >> 1;
    }
    return rect;
}

bool WindowScale::toGame(Size window, Size game, int32_t& x, int32_t& y) const {
    const int32_t f = factor(window, game);
    if (m_mode == Mode::TopLeft) {
        x = f == 2 ? x >> 1 : x;
        y = f == 2 ? y >> 1 : y;
        return true;
    }
    const Rect rect = picture(window, game);
    const bool inside = x >= rect.x && y >= rect.y && x < rect.x + rect.width && y < rect.y + rect.height;
    x = std::clamp((x - rect.x) / f, int32_t{0}, side(game.width) - 1);
    y = std::clamp((y - rect.y) / f, int32_t{0}, side(game.height) - 1);
    return inside;
}

void WindowScale::toWindow(Size window, Size game, int32_t& x, int32_t& y) const {
    const Rect rect = picture(window, game);
    const int32_t f = factor(window, game);
    x = rect.x + x * f;
    y = rect.y + y * f;
}

}  // namespace fairholm
