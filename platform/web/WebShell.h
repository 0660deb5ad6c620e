#pragma once

#include <emscripten/html5.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/GameSession.h"
#include "platform/ShellInput.h"
#include "platform/web/WebPlatform.h"
#include "runtime/Ref.h"

namespace fairholm {

// The browser shell: the game runs on the page's thread, its loop unchanged; each time
// it sleeps (WebClock) the shell puts the latest frame into the page's canvas and hands
// the sounds to the page, and the browser delivers keys, mouse and touch, which reach
// the game through the shared input table (ShellInput). The page (shell.html) scales
// the canvas by whole steps, plays the sounds with Web Audio and shows a keypad on
// touch screens, which presses the game's keys through keypad(). Gamepads (the
// browser's standard mapping) are looked at each time the game sleeps.
class WebShell {
public:
    struct Options {
        int32_t width = 240;
        int32_t height = 320;
        bool pocketPC = false;
        // The handset game as designed (no desktop comforts).
        bool classic = false;
        // Records the game into /save/replays/ (ReplayLibrary), kept in IndexedDB.
        bool record = true;
    };

    explicit WebShell(Options options) : m_options(options) {}
    ~WebShell();
    WebShell(const WebShell&) = delete;
    WebShell& operator=(const WebShell&) = delete;

    // Plays until the game ends; the exit code.
    int run();

    // Writes where the game is: state, hole (from 1), strokes, whether sound is on, and
    // how often the game has slept (it sleeps only when it waits for the next frame).
    void describe(char* line, size_t size) const;

    // A key of the page's keypad: an engine key, pressed or released.
    void keypad(int32_t engineKey, bool down);

private:
    void beforeSleep();
    void present();
    void playSounds();
    // Gamepad buttons (the web's standard mapping) pressed or released since the last look.
    void pollGamepads();
    bool key(const EmscriptenKeyboardEvent& event, bool down);
    bool mouse(const EmscriptenMouseEvent& event, bool down);
    bool touch(const EmscriptenTouchEvent& event, bool down);
    // The stylus at a point of the canvas in page pixels.
    void stylusAt(double x, double y, bool down);

    static EM_BOOL onKeyDown(int type, const EmscriptenKeyboardEvent* event, void* shell);
    static EM_BOOL onKeyUp(int type, const EmscriptenKeyboardEvent* event, void* shell);
    static EM_BOOL onMouseDown(int type, const EmscriptenMouseEvent* event, void* shell);
    static EM_BOOL onMouseUp(int type, const EmscriptenMouseEvent* event, void* shell);
    static EM_BOOL onMouseUpOutside(int type, const EmscriptenMouseEvent* event, void* shell);
    static EM_BOOL onTouchStart(int type, const EmscriptenTouchEvent* event, void* shell);
    static EM_BOOL onTouchEnd(int type, const EmscriptenTouchEvent* event, void* shell);

    Options m_options;
    Ref<WebPlatform> m_platform;
    std::unique_ptr<GameSession> m_session;
    Golf* m_game = nullptr;  // the session's
    ShellInput m_input;
    bool m_stylusDown = false;
    int32_t m_stylusX = 0;  // where the stylus last touched, in game pixels
    int32_t m_stylusY = 0;
    uint32_t m_sleeps = 0;
    static constexpr int maxGamepads = 4;
    uint32_t m_gamepadButtons[maxGamepads] = {};  // a bit per button held
    std::vector<uint8_t> m_rgba;                  // the frame as the canvas takes it
};

}  // namespace fairholm
