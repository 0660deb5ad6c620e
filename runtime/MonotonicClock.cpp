#include "runtime/MonotonicClock.h"

#include <thread>

namespace fairholm {

MonotonicClock::MonotonicClock() : m_start(std::chrono::steady_clock::now()) {}

uint32_t MonotonicClock::currentTimeMillis() {
    const auto elapsed = std::chrono::steady_clock::now() - m_start;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void MonotonicClock::sleep(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace fairholm
