#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/KeyTable.h"

namespace fairholm {

// Host keys and gamepad buttons bound to engine keys by the player's key configuration
// (KeyConfig), in one host's codes; they take the place of the key table's rows for the
// keys they name. An engine key of `none` (0) unbinds a key.
class KeyBindings {
public:
    static constexpr int32_t none = 0;

    explicit KeyBindings(KeyTable::Host host = KeyTable::Host::Sdl) : m_host(host) {}

    KeyTable::Host host() const { return m_host; }
    // Binds a host key or a button; a later binding of the same one replaces the earlier.
    void bindKey(int32_t hostKey, int32_t engineKey);
    void bindButton(int32_t button, int32_t engineKey);
    // True when the configuration names the key or button, with its engine key (none
    // for an unbound one).
    bool key(int32_t hostKey, int32_t& engineKey) const;
    bool button(int32_t button, int32_t& engineKey) const;

    size_t keyCount() const { return m_keys.size(); }
    size_t buttonCount() const { return m_buttons.size(); }

private:
    using Binding = std::pair<int32_t, int32_t>;  // host code, engine key
    static void bind(std::vector<Binding>& list, int32_t code, int32_t engineKey);
    static bool find(const std::vector<Binding>& list, int32_t code, int32_t& engineKey);

    KeyTable::Host m_host;
    std::vector<Binding> m_keys;
    std::vector<Binding> m_buttons;
};

}  // namespace fairholm
