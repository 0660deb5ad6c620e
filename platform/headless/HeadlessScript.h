#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fairholm {

// A script of timed input for the headless shell: one event a line, `at TIME VERB ...`
// with TIME in milliseconds of game time; `#` starts a comment.
//
//   at 500 key 5          press and release engine key 5 (also: left right up down
//                         action soft1 soft2 back fast, or a digit/character in quotes: '7')
//   at 500 press up       hold a key;  at 900 release up
//   at 600 char #         a typed character (queued as its code)
//   at 700 tap 120 200    a stylus tap at frame-buffer pixel (120, 200)
//   at 800 resize 320 240 the window asks for another game size
//   at 900 dump out.png   write the frame buffer as a PNG file
//   at 999 stop           end the run
class HeadlessScript {
public:
    enum class Verb { Key, Press, Release, Char, Tap, Resize, Dump, Stop };

    struct Event {
        uint32_t time = 0;
        Verb verb = Verb::Stop;
        int32_t a = 0;
        int32_t b = 0;
        std::string text;
    };

    // Parses a whole script; false with `error` naming the line when it is not valid.
    bool parse(const std::string& source, std::string& error);

    const std::vector<Event>& events() const { return m_events; }

    // Engine key code of a key name ("left", "action", "5", "'#'"), or -1.
    static int32_t keyCode(const std::string& name);

private:
    std::vector<Event> m_events;
};

}  // namespace fairholm
