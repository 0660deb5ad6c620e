#pragma once

#include <cstdint>
#include <cstring>

#include "runtime/Array.h"
#include "runtime/Clock.h"
#include "runtime/Object.h"
#include "runtime/Ref.h"

namespace fairholm {

// Process-wide runtime services: the millisecond clock, sleeping and array copies.
class Runtime final : public Object {
public:
    // The clock's tick count in milliseconds (wraps; callers subtract tick values).
    static uint32_t currentTimeMillis();
    static void sleep(uint32_t milliseconds);

    // Replaces the process's clock (null restores the real one). Set it before the
    // threads that read it start.
    static void setClock(Ref<Clock> clock);
    static Clock& clock();
    // A handle to the clock in use (the real one when none was set), for clocks that
    // wrap it.
    static Ref<Clock> currentClock();

    // Copies `count` elements between arrays of one element type; the ranges may
    // overlap. Callers keep the indexes inside both arrays.
    template <typename T>
    static void arrayCopy(const Array<T>& src, int32_t srcIndex, const Array<T>& dst, int32_t dstIndex,
                          int32_t count) {
        static_assert(std::is_trivially_copyable_v<T>, "arrayCopy copies plain elements");
        if (count > 0) {
            std::memmove(dst.data() + dstIndex, src.data() + srcIndex,
                         sizeof(T) * static_cast<size_t>(count));
        }
    }
};

}  // namespace fairholm
