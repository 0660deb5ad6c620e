#pragma once

#include <cstdint>

#include "runtime/Object.h"

namespace fairholm {

// The millisecond clock the engine runs on. The process has one (Runtime::setClock):
// the real monotonic clock by default, a VirtualClock in tests and in the headless shell.
class Clock : public Object {
public:
    // Milliseconds since some fixed start; wraps after about 49.7 days (users subtract).
    virtual uint32_t currentTimeMillis() = 0;
    // Suspends the calling thread for `milliseconds`.
    virtual void sleep(uint32_t milliseconds) = 0;
};

}  // namespace fairholm
