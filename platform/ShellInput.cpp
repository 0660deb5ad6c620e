#include "platform/ShellInput.h"

#include "engine/sprite/EngineKey.h"
#include "runtime/Assert.h"

namespace fairholm {

bool ShellInput::isBound(KeyTable::Host host, int32_t hostKey) const {
    int32_t engine = 0;
    return host == m_bindings.host() && m_bindings.key(hostKey, engine);
}

void ShellInput::keyDown(Viewport& game, KeyTable::Host host, int32_t hostKey) {
    if (int32_t engine = 0; host == m_bindings.host() && m_bindings.key(hostKey, engine)) {
        if (engine > 0) {
            game.keyPressed(engine);
        }
        return;
    }
    const KeyTable::Row* row = KeyTable::find(host, hostKey);
    if (row) {
        setHeld(*row, true);
        game.keyPressed(row->engineKey);
    }
}

void ShellInput::keyUp(Viewport& game, KeyTable::Host host, int32_t hostKey) {
    if (int32_t engine = 0; host == m_bindings.host() && m_bindings.key(hostKey, engine)) {
        if (engine > 0) {
            game.keyReleased(engine);
        }
        return;
    }
    const KeyTable::Row* row = KeyTable::find(host, hostKey);
    if (!row) {
        return;
    }
    if (row->queuedOnRelease && !isHeld(*row)) {
        game.keyPressed(row->engineKey);
    }
    setHeld(*row, false);
    game.keyReleased(row->engineKey);
}

bool ShellInput::isHeld(const KeyTable::Row& row) const {
    const auto index = static_cast<uint32_t>(&row - KeyTable::rows);
    FAIRHOLM_ASSERT(index < 64);
    return (m_held >> index & 1) != 0;
}

void ShellInput::setHeld(const KeyTable::Row& row, bool held) {
    const auto index = static_cast<uint32_t>(&row - KeyTable::rows);
    FAIRHOLM_ASSERT(index < 64);
    const uint64_t bit = uint64_t{1} << index;
    m_held = held ? m_held | bit : m_held & ~bit;
}

void ShellInput::character(Viewport& game, uint32_t code) {
    if (code == 0 || code > 127 || code == 13 || code == 27 || (code >= '0' && code <= '9')) {
        return;
    }
    game.keyPressed(static_cast<int32_t>(code));
    game.keyReleased(static_cast<int32_t>(code));
}

void ShellInput::stylus(Viewport& game, int32_t x, int32_t y, bool down) {
    game.setPointer(x, y);
    if (down) {
        game.keyPressed(key::action);
    } else {
        game.keyReleased(key::action);
    }
}

void ShellInput::button(Viewport& game, KeyTable::Host host, int32_t button, bool down) const {
    int32_t engine = 0;
    if (host != m_bindings.host() || !m_bindings.button(button, engine)) {
        engine = KeyTable::buttonKey(host, button);
    }
    if (engine <= 0) {
        return;
    }
    if (down) {
        game.keyPressed(engine);
    } else {
        game.keyReleased(engine);
    }
}

}  // namespace fairholm
