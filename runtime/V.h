#pragma once

#include <cstdint>

#include "runtime/Fixed.h"
#include "runtime/Object.h"
#include "runtime/String.h"

namespace fairholm {

// Common base of the engine classes: a few shared services reachable from any engine
// object (angle of a direction, unsigned shift, debug trace on standard output).
class V : public Object {
public:
    angle atan2(fixed y, fixed x) const { return fx::atan2(y, x); }
    uint32_t ushr(int32_t value, int32_t count) const { return fx::ushr(value, count); }

    // "message a b", "message a" and "message" as one line on standard output.
    void trace(const String& message, int32_t a, int32_t b) const;
    void trace(const String& message, int32_t a) const;
    void trace(const String& message) const;
};

}  // namespace fairholm
