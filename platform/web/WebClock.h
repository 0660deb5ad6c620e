#pragma once

#include <cstdint>
#include <functional>

#include "runtime/Clock.h"

namespace fairholm {

// The clock of the browser shell: the page's monotonic milliseconds. A sleep is where
// the game lets the page live: the shell shows the latest frame and plays the sounds
// asked for, then the browser runs its events and timers until the sleep is over (the
// game's stack is put aside meanwhile: the build unwinds it, ASYNCIFY).
class WebClock final : public Clock {
public:
    explicit WebClock(std::function<void()> beforeSleep) : m_beforeSleep(std::move(beforeSleep)) {}

    uint32_t currentTimeMillis() override;
    void sleep(uint32_t milliseconds) override;

private:
    std::function<void()> m_beforeSleep;
};

}  // namespace fairholm
