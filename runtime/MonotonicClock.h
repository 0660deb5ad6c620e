#pragma once

#include <chrono>

#include "runtime/Clock.h"

namespace fairholm {

// Real time from the system's monotonic clock.
class MonotonicClock final : public Clock {
public:
    MonotonicClock();
    uint32_t currentTimeMillis() override;
    void sleep(uint32_t milliseconds) override;

private:
    std::chrono::steady_clock::time_point m_start;
};

}  // namespace fairholm
