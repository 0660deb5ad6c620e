#pragma once

#include <atomic>

#include "runtime/Clock.h"

namespace fairholm {

// A clock that only moves when told to: sleep advances it at once. Runs driven by it
// are deterministic and take no real time.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(uint32_t start = 0) : m_now(start) {}

    uint32_t currentTimeMillis() override { return m_now.load(std::memory_order_acquire); }
    void sleep(uint32_t milliseconds) override { advance(milliseconds); }

    void advance(uint32_t milliseconds) { m_now.fetch_add(milliseconds, std::memory_order_acq_rel); }
    void setTime(uint32_t now) { m_now.store(now, std::memory_order_release); }

private:
    std::atomic<uint32_t> m_now;
};

}  // namespace fairholm
