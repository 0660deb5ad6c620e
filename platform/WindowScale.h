#pragma once

#include <cstdint>

namespace fairholm {

// How a desktop window shows the game's frame buffer: the arithmetic alone, free of any
// host. Three ways:
//
//   TopLeft  the handset's way: the game's size follows the window (half of it on a
//            window 480 pixels wide or more at start) and the picture sits at the
//            top-left, at factor 2 on such a window, else 1.
//   Fit      the game keeps its own size (what the first window asked for by the rule
//            above) and the picture is enlarged by the largest whole factor that fits
//            the window, centred between black bars. A window smaller than that size
//            at factor 1 makes the game as large as the window; once the window holds
//            the game's own size again, the game returns to it.
//   Fixed    the game is the window's size divided by a factor N at every resize and
//            is shown at exactly N, centred (what is left over is a bar under N pixels).
//
// In full screen, Fit keeps the game's size and scales by whole steps; Fixed follows the
// screen like a window. Window points map back to game pixels through the same factor
// and offset; a point on a bar lies outside the picture.
class WindowScale {
public:
    enum class Mode { TopLeft, Fit, Fixed };

    struct Size {
        int32_t width = 0;
        int32_t height = 0;
        bool operator==(const Size&) const = default;
    };
    struct Rect {
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
        bool operator==(const Rect&) const = default;
    };

    static constexpr int32_t maxFactor = 8;

    // The way of the handset: `highResolution` is the first window's (GameSession).
    static WindowScale topLeft(bool highResolution);
    // Whole-step fitting of a game whose own size is what `firstWindow` asks for.
    static WindowScale fit(Size firstWindow);
    // The game at exactly `factor` (clamped to 1..maxFactor).
    static WindowScale fixed(int32_t factor);

    Mode mode() const { return m_mode; }
    // The game's own size in Fit; the factor in TopLeft and Fixed.
    Size logicalSize() const { return m_logical; }

    // The size the game is asked for when the window (or, in full screen, the screen)
    // has `window`'s size. In full screen, TopLeft and Fit keep `current`.
    Size gameSize(Size window, Size current, bool fullscreen = false) const;
    // The whole factor a game of size `game` is drawn at in `window` (at least 1).
    int32_t factor(Size window, Size game) const;
    // Where the picture lies in the window (it may reach beyond a window too small).
    Rect picture(Size window, Size game) const;
    // A window point as a game pixel, clamped to the picture; false when the point lies
    // outside the picture (on a bar). TopLeft maps like the handset shell always did:
    // divided by its factor, neither clamped nor refused.
    bool toGame(Size window, Size game, int32_t& x, int32_t& y) const;
    // The window point of a game pixel's top-left corner.
    void toWindow(Size window, Size game, int32_t& x, int32_t& y) const;

    // The game's size for a window side by the handset rule (GameSession's).
    static Size firstGameSize(Size window);

private:
    WindowScale(Mode mode, Size logical, int32_t factor)
        : m_mode(mode), m_logical(logical), m_factor(factor) {}

    Mode m_mode;
    Size m_logical;
    int32_t m_factor;
};

}  // namespace fairholm
