#include "platform/web/WebClock.h"

#include <emscripten.h>

namespace fairholm {

uint32_t WebClock::currentTimeMillis() {
    // Whole milliseconds, wrapping as every clock of the engine does.
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

void WebClock::sleep(uint32_t milliseconds) {
    if (m_beforeSleep) {
        m_beforeSleep();
    }
    emscripten_sleep(milliseconds);
}

}  // namespace fairholm
