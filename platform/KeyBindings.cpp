#include "platform/KeyBindings.h"

namespace fairholm {

void KeyBindings::bind(std::vector<Binding>& list, int32_t code, int32_t engineKey) {
    for (Binding& binding : list) {
        if (binding.first == code) {
            binding.second = engineKey;
            return;
        }
    }
    list.emplace_back(code, engineKey);
}

bool KeyBindings::find(const std::vector<Binding>& list, int32_t code, int32_t& engineKey) {
    for (const Binding& binding : list) {
        if (binding.first == code) {
            engineKey = binding.second;
            return true;
        }
    }
    return false;
}

void KeyBindings::bindKey(int32_t hostKey, int32_t engineKey) {
    bind(m_keys, hostKey, engineKey);
}

void KeyBindings::bindButton(int32_t button, int32_t engineKey) {
    bind(m_buttons, button, engineKey);
}

bool KeyBindings::key(int32_t hostKey, int32_t& engineKey) const {
    return find(m_keys, hostKey, engineKey);
}

bool KeyBindings::button(int32_t button, int32_t& engineKey) const {
    return find(m_buttons, button, engineKey);
}

}  // namespace fairholm
