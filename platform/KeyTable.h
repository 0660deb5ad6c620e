#pragma once

#include <cstdint>

namespace fairholm {

// The one table from host keys to engine keys for every desktop shell: a row per key
// the game knows, with its code in each host's own terms. Free of any host's headers:
// the SDL shell checks its column against SDL's constants when it is compiled.
//
//   key          engine      SDL keycode    Windows virtual key   web KeyboardEvent.code
//   arrows       1 2 3 4     SDLK_LEFT ...  VK_LEFT ...           "ArrowLeft" ...
//   Enter        5 action    SDLK_RETURN    VK_RETURN             "Enter", "NumpadEnter"
//   F1           5 action    SDLK_F1        VK_F1                 "F1"   (left soft key)
//   F2           6           SDLK_F2        VK_F2                 "F2"   (right soft key)
//   Escape       7 back      SDLK_ESCAPE    VK_ESCAPE             "Escape"
//   Tab          11 fast     SDLK_TAB       VK_TAB                "Tab"  (held: fast-forward)
//   0-9          '0'-'9'     SDLK_0 ...     '0' ...               "Digit0" ...
//   keypad 0-9   '0'-'9'     SDLK_KP_0 ...  VK_NUMPAD0 ...        "Numpad0" ...
//
// Everything else a player types ('#', '*', space, letters) comes as a character, not
// through this table.
class KeyTable {
public:
    enum class Host { Sdl, Win32, Web };

    struct Row {
        const char* name;  // the key's name in documentation and key configuration
        int32_t engineKey;
        int32_t sdl;      // SDL_Keycode, or -1
        int32_t win32;    // virtual-key code, or -1
        const char* web;  // KeyboardEvent.code, or null
        // A handset's soft keys and back may report only their release: such a release,
        // with no press before it, is queued as a press (ShellInput).
        bool queuedOnRelease;
    };
    // Gamepad buttons: SDL's game-controller numbering and the web's standard mapping.
    struct ButtonRow {
        const char* name;
        int32_t engineKey;
        int32_t sdl;
        int32_t web;
    };

    // The row of a host key. A web key's code is its row's index (webKey), since the
    // browser names keys by text.
    static const Row* find(Host host, int32_t code);
    static const Row* findWeb(const char* code);
    // The host code of a KeyboardEvent.code for the Web host; -1 for a key the table lacks.
    static int32_t webKey(const char* code);
    // The engine key of a host key; 0 for a key the game does not know.
    static int32_t engineKey(Host host, int32_t code);
    static int32_t buttonKey(Host host, int32_t button);

    static const Row rows[];
    static const int32_t rowCount;
    static const ButtonRow buttons[];
    static const int32_t buttonCount;
};

}  // namespace fairholm
