#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/KeyBindings.h"
#include "platform/KeyTable.h"

namespace fairholm {

// The player's key configuration (keys.conf in the settings folder): host keys and
// gamepad buttons bound to engine keys on top of the key table. One binding a line:
//
//   # a comment: a line whose first character that is not blank is '#'
//   key Space = action        # a keyboard key, by its name; '#' after the engine key
//   key W = up                #   starts a comment too
//   key "Keypad =" = back     # a name holding '=' or '"' goes in double quotes
//   key F1 = none             # the key does nothing
//   button A = action         # a gamepad button
//
// Key names are the key table's (Left, Enter, KeypadEnter, F1, Escape, Keypad0, ...) or
// the host's own (SDL's key names in the desktop shell: Space, W, Left Shift, Page Up);
// button names are the table's (A, B, X, Y, Start, Back, DpadLeft, LeftShoulder, ...) or
// the host's own. Engine keys: left right up down action softright back fast (held to
// fast-forward) 0-9 # * none.
// Names and engine keys are matched without regard to case; a later line for the same
// key replaces an earlier one. A broken line is reported with its file and line number
// and skipped; the rest of the file still counts.
//
// Free of any host: a shell hands `resolve` its own way of naming keys and buttons.
class KeyConfig {
public:
    static constexpr size_t maxBytes = 64 * 1024;

    struct Line {
        bool button = false;  // a gamepad button, else a key
        std::string name;
        int32_t engineKey = 0;  // KeyBindings::none for none
        int32_t number = 0;     // the line in the file, from 1
    };
    // A host's code for a name, or 0 or less when it has none.
    using Namer = std::function<int32_t(const std::string&)>;

    // Reads the bindings of `text`; `fileName` goes into the messages. Replaces what an
    // earlier parse read.
    void parse(const std::string& text, const std::string& fileName);
    // Reads the file at `path`: a missing file is no bindings, silently unless
    // `mustExist`; one larger than maxBytes or unreadable is no bindings, with a message.
    // True when bindings were read from it (possibly none).
    bool load(const std::string& path, bool mustExist);

    const std::vector<Line>& lines() const { return m_lines; }
    // Messages of the broken lines and files, "FILE:LINE: what", in line order; names
    // found to be unknown by `resolve` are added there.
    std::vector<std::string> errors() const;

    // The bindings in `host`'s codes: the key table's names first, then `hostKey` and
    // `hostButton` (either may be empty). A name neither knows is an error.
    KeyBindings resolve(KeyTable::Host host, const Namer& hostKey, const Namer& hostButton);

    // An engine key by its name in the configuration; -1 when there is no such name.
    static int32_t engineKeyByName(const std::string& name);
    // The configuration's name of an engine key ("left", "softright", "7", "#").
    static std::string engineKeyName(int32_t engineKey);
    // The key table's keys and buttons with their engine keys, wrapped for --help.
    static std::string describeDefaults(size_t width = 78, const char* indent = "  ");
    // The format, a few lines for --help.
    static const char* formatHelp();

private:
    struct Problem {
        int32_t line;  // 0 for the file as a whole
        std::string text;
    };
    void error(int32_t line, const std::string& what);

    std::string m_fileName;
    std::vector<Line> m_lines;
    std::vector<Problem> m_problems;
};

}  // namespace fairholm
