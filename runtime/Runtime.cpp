#include "runtime/Runtime.h"

#include <atomic>

#include "runtime/MonotonicClock.h"

namespace fairholm {

namespace {

Clock& defaultClock() {
    static MonotonicClock* clock = [] {
        auto* c = new MonotonicClock;
        c->ref();  // lives as long as the process
        return c;
    }();
    return *clock;
}

// The installed clock; the handle keeps it alive, the atomic pointer is what readers use.
Ref<Clock> installedClock;
std::atomic<Clock*> activeClock{nullptr};

}  // namespace

Clock& Runtime::clock() {
    Clock* clock = activeClock.load(std::memory_order_acquire);
    return clock ? *clock : defaultClock();
}

Ref<Clock> Runtime::currentClock() {
    return Ref<Clock>(&clock());
}

void Runtime::setClock(Ref<Clock> clock) {
    activeClock.store(clock.ptr(), std::memory_order_release);
    installedClock = std::move(clock);
}

uint32_t Runtime::currentTimeMillis() {
    return clock().currentTimeMillis();
}

void Runtime::sleep(uint32_t milliseconds) {
    clock().sleep(milliseconds);
}

}  // namespace fairholm
