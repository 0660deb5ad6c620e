#include "platform/KeyTable.h"

#include <cstring>

#include "engine/sprite/EngineKey.h"

namespace fairholm {

namespace {

// SDL keycodes of keys without a character: the scancode with bit 30 set.
constexpr int32_t sdlScancodeKey(int32_t scancode) {
    return scancode | (1 << 30);
}

}  // namespace

// clang-format off
const KeyTable::Row KeyTable::rows[] = {
    {"Left",        key::left,      sdlScancodeKey(80), 0x25, "ArrowLeft",   false},
    {"Right",       key::right,     sdlScancodeKey(79), 0x27, "ArrowRight",  false},
    {"Up",          key::up,        sdlScancodeKey(82), 0x26, "ArrowUp",     false},
    {"Down",        key::down,      sdlScancodeKey(81), 0x28, "ArrowDown",   false},
    {"Enter",       key::action,    13,                 0x0D, "Enter",       false},
    {"KeypadEnter", key::action,    sdlScancodeKey(88), -1,   "NumpadEnter", false},
    {"F1",          key::action,    sdlScancodeKey(58), 0x70, "F1",          true},
    {"F2",          key::softRight, sdlScancodeKey(59), 0x71, "F2",          true},
    {"Escape",      key::back,      27,                 0x1B, "Escape",      true},
    {"Tab",         key::fast,      9,                  0x09, "Tab",         false},
    {"0", '0', '0', '0', "Digit0", false}, {"1", '1', '1', '1', "Digit1", false},
    {"2", '2', '2', '2', "Digit2", false}, {"3", '3', '3', '3', "Digit3", false},
    {"4", '4', '4', '4', "Digit4", false}, {"5", '5', '5', '5', "Digit5", false},
    {"6", '6', '6', '6', "Digit6", false}, {"7", '7', '7', '7', "Digit7", false},
    {"8", '8', '8', '8', "Digit8", false}, {"9", '9', '9', '9', "Digit9", false},
    {"Keypad0", '0', sdlScancodeKey(98), 0x60, "Numpad0", false},
    {"Keypad1", '1', sdlScancodeKey(89), 0x61, "Numpad1", false},
    {"Keypad2", '2', sdlScancodeKey(90), 0x62, "Numpad2", false},
    {"Keypad3", '3', sdlScancodeKey(91), 0x63, "Numpad3", false},
    {"Keypad4", '4', sdlScancodeKey(92), 0x64, "Numpad4", false},
    {"Keypad5", '5', sdlScancodeKey(93), 0x65, "Numpad5", false},
    {"Keypad6", '6', sdlScancodeKey(94), 0x66, "Numpad6", false},
    {"Keypad7", '7', sdlScancodeKey(95), 0x67, "Numpad7", false},
    {"Keypad8", '8', sdlScancodeKey(96), 0x68, "Numpad8", false},
    {"Keypad9", '9', sdlScancodeKey(97), 0x69, "Numpad9", false},
};

const KeyTable::ButtonRow KeyTable::buttons[] = {
    {"DpadLeft",      key::left,      13, 14},
    {"DpadRight",     key::right,     14, 15},
    {"DpadUp",        key::up,        11, 12},
    {"DpadDown",      key::down,      12, 13},
    {"A",             key::action,    0,  0},
    {"Start",         key::action,    6,  9},
    {"B",             key::softRight, 1,  1},
    {"Back",          key::back,      4,  8},
    {"X",             '1',            2,  2},   // club menu
    {"Y",             '7',            3,  3},   // view from above
    {"LeftShoulder",  '1',            9,  4},   // zoom in on the map
    {"RightShoulder", '3',            10, 5},   // zoom out on the map
};
// clang-format on

const int32_t KeyTable::rowCount = sizeof rows / sizeof rows[0];
const int32_t KeyTable::buttonCount = sizeof buttons / sizeof buttons[0];

const KeyTable::Row* KeyTable::find(Host host, int32_t code) {
    if (code < 0) {
        return nullptr;
    }
    if (host == Host::Web) {
        return code < rowCount && rows[code].web ? &rows[code] : nullptr;
    }
    for (const Row& row : rows) {
        if ((host == Host::Sdl ? row.sdl : row.win32) == code) {
            return &row;
        }
    }
    return nullptr;
}

int32_t KeyTable::webKey(const char* code) {
    const Row* row = findWeb(code);
    return row ? static_cast<int32_t>(row - rows) : -1;
}

const KeyTable::Row* KeyTable::findWeb(const char* code) {
    if (!code) {
        return nullptr;
    }
    for (const Row& row : rows) {
        if (row.web && std::strcmp(row.web, code) == 0) {
            return &row;
        }
    }
    return nullptr;
}

int32_t KeyTable::engineKey(Host host, int32_t code) {
    const Row* row = find(host, code);
    return row ? row->engineKey : 0;
}

int32_t KeyTable::buttonKey(Host host, int32_t button) {
    for (const ButtonRow& row : buttons) {
        if ((host == Host::Web ? row.web : row.sdl) == button) {
            return row.engineKey;
        }
    }
    return 0;
}

}  // namespace fairholm
