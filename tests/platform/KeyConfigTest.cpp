// The player's key configuration: the line format, its messages, the resolution of names
// into a host's codes, and ShellInput consulting the bindings before the key table.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/sprite/EngineKey.h"
#include "engine/sprite/Viewport.h"
#include "platform/KeyBindings.h"
#include "platform/KeyConfig.h"
#include "platform/KeyTable.h"
#include "platform/ShellInput.h"
#include "tests/support/KeyQueue.h"

using namespace fairholm;
using fairholm::testing::drainKeys;
using Host = KeyTable::Host;
namespace fs = std::filesystem;

namespace {

constexpr int32_t sdl(int32_t scancode) {
    return scancode | (1 << 30);
}

// A host that knows a few SDL names (their real SDL codes).
int32_t fakeSdlKey(const std::string& name) {
    if (name == "Space") {
        return ' ';
    }
    if (name == "W" || name == "w") {
        return 'w';
    }
    if (name == "Keypad =") {
        return sdl(103);
    }
    if (name == "=") {
        return '=';
    }
    if (name == "F3") {
        return sdl(60);
    }
    return 0;
}

int32_t fakeSdlButton(const std::string& name) {
    return name == "guide" ? 5 : -1;
}

KeyBindings bindingsOf(const std::string& text, std::vector<std::string>* errors = nullptr) {
    KeyConfig config;
    config.parse(text, "keys.conf");
    KeyBindings bindings = config.resolve(Host::Sdl, fakeSdlKey, fakeSdlButton);
    if (errors) {
        *errors = config.errors();
    }
    return bindings;
}

int32_t boundKey(const KeyBindings& bindings, int32_t code) {
    int32_t engine = -1;
    return bindings.key(code, engine) ? engine : -1;
}

int32_t boundButton(const KeyBindings& bindings, int32_t code) {
    int32_t engine = -1;
    return bindings.button(code, engine) ? engine : -1;
}

}  // namespace

TEST(KeyConfig, ReadsKeysButtonsCommentsAndNone) {
    std::vector<std::string> errors;
    const KeyBindings bindings = bindingsOf(
        "# my keys\n"
        "\n"
        "key Space = action\n"
        "   key W = up   # walk forward\n"
        "KEY f1 = NONE\n"
        "key Escape = softright\n"
        "key \"Keypad =\" = back\n"
        "key \"=\" = *\n"
        "key F3 = #   # the hash key\n"
        "key F2 = 7\r\n"
        "button A = back\n"
        "button guide = 1\n"
        "button rightshoulder = down\n",
        &errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(bindings.host(), Host::Sdl);
    EXPECT_EQ(bindings.keyCount(), 8u);
    EXPECT_EQ(boundKey(bindings, ' '), key::action);
    EXPECT_EQ(boundKey(bindings, 'w'), key::up);
    EXPECT_EQ(boundKey(bindings, sdl(58)), KeyBindings::none);  // F1, by the table's name
    EXPECT_EQ(boundKey(bindings, 27), key::softRight);
    EXPECT_EQ(boundKey(bindings, sdl(103)), key::back);
    EXPECT_EQ(boundKey(bindings, '='), '*');
    EXPECT_EQ(boundKey(bindings, sdl(60)), '#');
    EXPECT_EQ(boundKey(bindings, sdl(59)), '7');
    EXPECT_EQ(boundKey(bindings, 13), -1);  // Enter is left to the table
    EXPECT_EQ(boundButton(bindings, 0), key::back);
    EXPECT_EQ(boundButton(bindings, 5), '1');
    EXPECT_EQ(boundButton(bindings, 10), key::down);
    EXPECT_EQ(boundButton(bindings, 1), -1);
}

TEST(KeyConfig, ALaterLineReplacesAnEarlierOne) {
    const KeyBindings bindings = bindingsOf("key Space = action\nkey space = none\nkey Space = 5\n");
    EXPECT_EQ(bindings.keyCount(), 1u);
    EXPECT_EQ(boundKey(bindings, ' '), '5');
}

TEST(KeyConfig, BrokenLinesAreNamedAndSkipped) {
    std::vector<std::string> errors;
    const KeyBindings bindings = bindingsOf(
        "key Space = action\n"   // 1
        "jump Space = up\n"      // 2
        "key Space up\n"         // 3
        "key = up\n"             // 4
        "key W = jump\n"         // 5
        "key W =\n"              // 6
        "key W = up down\n"      // 7
        "key \"W = up\n"         // 8
        "key \"W\" up\n"         // 9
        "key Nothing = up\n"     // 10
        "button Nothing = up\n"  // 11
        "key F3 = left\n",       // 12
        &errors);
    ASSERT_EQ(errors.size(), 10u);
    const char* expected[] = {
        "keys.conf:2: expected \"key NAME = ENGINE-KEY\" or \"button NAME = ENGINE-KEY\", not \"jump\"",
        "keys.conf:3: no '=' between the name and the engine key",
        "keys.conf:4: no key name",
        "keys.conf:5: unknown engine key \"jump\" (one of: left right up down action softright back fast "
        "0-9 # * none)",
        "keys.conf:6: no engine key after '='",
        "keys.conf:7: unexpected text after the engine key \"up\"",
        "keys.conf:8: the quoted name has no closing '\"'",
        "keys.conf:9: expected '=' after the name \"W\"",
        "keys.conf:10: no key is called \"Nothing\"",
        "keys.conf:11: no gamepad button is called \"Nothing\"",
    };
    for (size_t i = 0; i < errors.size(); ++i) {
        EXPECT_EQ(errors[i].rfind(expected[i], 0), 0u) << errors[i];
        EXPECT_NE(errors[i].find("the line is skipped"), std::string::npos) << errors[i];
    }
    // The good lines still count.
    EXPECT_EQ(bindings.keyCount(), 2u);
    EXPECT_EQ(boundKey(bindings, ' '), key::action);
    EXPECT_EQ(boundKey(bindings, sdl(60)), key::left);
}

TEST(KeyConfig, MessagesShowNamesSafely) {
    std::vector<std::string> errors;
    bindingsOf("key \x1b[2J" + std::string(60, 'x') + " = up\n", &errors);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].find('\x1b'), std::string::npos);
    EXPECT_NE(errors[0].find("?[2J"), std::string::npos);
    EXPECT_NE(errors[0].find("...\""), std::string::npos);
}

TEST(KeyConfig, TableNamesResolveForEachHost) {
    KeyConfig config;
    config.parse("key Enter = back\nkey keypad7 = up\nkey KeypadEnter = down\nbutton Start = 9\n", "k");
    const KeyBindings windows = config.resolve(Host::Win32, nullptr, nullptr);
    EXPECT_EQ(windows.host(), Host::Win32);
    EXPECT_EQ(boundKey(windows, 0x0D), key::back);
    EXPECT_EQ(boundKey(windows, 0x67), key::up);
    EXPECT_EQ(boundButton(windows, 6), '9');
    // The keypad's Enter has no virtual key of its own.
    ASSERT_EQ(config.errors().size(), 1u);
    EXPECT_EQ(config.errors()[0].rfind("k:3: no key is called \"KeypadEnter\"", 0), 0u);
    const KeyBindings sdlKeys = config.resolve(Host::Sdl, nullptr, nullptr);
    EXPECT_EQ(boundKey(sdlKeys, sdl(88)), key::down);
    EXPECT_EQ(boundKey(sdlKeys, sdl(95)), key::up);
}

TEST(KeyConfig, EngineKeyNames) {
    for (const char* name :
         {"left", "right", "up", "down", "action", "softright", "back", "fast", "#", "*", "none"}) {
        EXPECT_EQ(KeyConfig::engineKeyName(KeyConfig::engineKeyByName(name)), name);
    }
    for (int32_t digit = 0; digit <= 9; ++digit) {
        EXPECT_EQ(KeyConfig::engineKeyByName(std::to_string(digit)), '0' + digit);
    }
    EXPECT_EQ(KeyConfig::engineKeyByName("SoftRight"), key::softRight);
    for (const char* name : {"", "10", "space", "softleft", "left ", "a"}) {
        EXPECT_EQ(KeyConfig::engineKeyByName(name), -1) << name;
    }
}

TEST(KeyConfig, DefaultsNameEveryTableKeyAndButton) {
    const std::string text = KeyConfig::describeDefaults(78, "  ");
    for (const char* item :
         {"Left left,", "Enter action,", "F1 action,", "F2 softright,", "Escape back,", "Tab fast,",
          "0-9 and Keypad0-Keypad9 their digit;", "A action,", "B softright,", "X 1,", "RightShoulder 3."}) {
        EXPECT_NE(text.find(item), std::string::npos) << item;
    }
    size_t begin = 0;
    while (begin < text.size()) {
        const size_t end = text.find('\n', begin);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - begin, 78u);
        EXPECT_EQ(text.compare(begin, 2, "  "), 0);
        begin = end + 1;
    }
    EXPECT_NE(std::string(KeyConfig::formatHelp()).find("key F1 = none"), std::string::npos);
}

TEST(KeyConfig, FilesMissingTooLargeOrUnreadableGiveTheDefaults) {
    const fs::path dir = fs::temp_directory_path() / ("fairholm-keys-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    KeyConfig config;
    EXPECT_FALSE(config.load((dir / "none.conf").string(), false));
    EXPECT_TRUE(config.errors().empty());
    EXPECT_FALSE(config.load((dir / "none.conf").string(), true));
    ASSERT_EQ(config.errors().size(), 1u);
    EXPECT_NE(config.errors()[0].find("none.conf: not there; the default keys apply"), std::string::npos);

    {
        std::ofstream big(dir / "big.conf");
        const std::string line = "key Space = action\n";
        for (size_t written = 0; written <= KeyConfig::maxBytes; written += line.size()) {
            big << line;
        }
    }
    EXPECT_FALSE(config.load((dir / "big.conf").string(), false));
    EXPECT_TRUE(config.lines().empty());
    ASSERT_EQ(config.errors().size(), 1u);
    EXPECT_NE(config.errors()[0].find("larger than 64 KiB; the default keys apply"), std::string::npos);

    EXPECT_FALSE(config.load(dir.string(), false));  // a folder
    ASSERT_EQ(config.errors().size(), 1u);
    EXPECT_NE(config.errors()[0].find("cannot be read"), std::string::npos);

    {
        std::ofstream good(dir / "keys.conf");
        good << "key W = up\nkey W = =\n";
    }
    EXPECT_TRUE(config.load((dir / "keys.conf").string(), false));
    EXPECT_EQ(config.lines().size(), 1u);
    ASSERT_EQ(config.errors().size(), 1u);
    EXPECT_EQ(config.errors()[0].rfind((dir / "keys.conf").string() + ":2: unknown engine key \"=\"", 0), 0u);
    fs::remove_all(dir);
}

TEST(ShellInputBindings, BoundKeysPressTheirEngineKeyAndReleaseItOnly) {
    auto game = make<Viewport>();
    ShellInput input;
    input.setBindings(bindingsOf("key Space = action\nkey F1 = up\nkey Escape = none\nkey W = softright\n"));
    EXPECT_TRUE(input.isBound(Host::Sdl, ' '));
    EXPECT_FALSE(input.isBound(Host::Sdl, 13));
    EXPECT_FALSE(input.isBound(Host::Win32, ' '));
    input.keyDown(*game, Host::Sdl, ' ');
    EXPECT_TRUE(game->isKeyDown(key::action));
    input.keyUp(*game, Host::Sdl, ' ');
    EXPECT_FALSE(game->isKeyDown(key::action));
    // F1 is up now: held while down, and never queued on its release alone.
    input.keyDown(*game, Host::Sdl, sdl(58));
    EXPECT_TRUE(game->isKeyDown(key::up));
    input.keyUp(*game, Host::Sdl, sdl(58));
    input.keyUp(*game, Host::Sdl, sdl(58));
    // Escape does nothing at all.
    input.keyDown(*game, Host::Sdl, 27);
    input.keyUp(*game, Host::Sdl, 27);
    input.keyUp(*game, Host::Sdl, 27);
    // A soft key bound to a letter is pressed with it, not queued on release.
    input.keyUp(*game, Host::Sdl, 'w');
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{key::action, key::up}));
    // The table's rows still work as before: F2 released alone is queued.
    input.keyUp(*game, Host::Sdl, sdl(59));
    input.keyDown(*game, Host::Sdl, 13);
    input.keyUp(*game, Host::Sdl, 13);
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{key::softRight, key::action}));
    // Another host's codes are not the bindings'.
    input.keyDown(*game, Host::Win32, 27);
    input.keyUp(*game, Host::Win32, 27);
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{key::back}));
}

TEST(ShellInputBindings, BoundButtonsComeBeforeTheTable) {
    auto game = make<Viewport>();
    ShellInput input;
    input.setBindings(bindingsOf("button A = back\nbutton X = none\nbutton guide = 7\n"));
    input.button(*game, Host::Sdl, 0, true);
    EXPECT_TRUE(game->isKeyDown(key::back));
    input.button(*game, Host::Sdl, 0, false);
    input.button(*game, Host::Sdl, 2, true);
    input.button(*game, Host::Sdl, 2, false);
    input.button(*game, Host::Sdl, 5, true);
    input.button(*game, Host::Sdl, 5, false);
    input.button(*game, Host::Sdl, 1, true);  // B: the table's right soft key
    input.button(*game, Host::Sdl, 1, false);
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{key::back, '7', key::softRight}));
}
