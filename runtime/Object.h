#pragma once

#include <atomic>
#include <cstdint>

#include "runtime/Assert.h"

namespace fairholm {

// Base of every runtime and engine object: a virtual destructor and an intrusive
// reference count. Objects are shared through Ref<T> handles (Ref.h); the release
// that brings the count from 1 to 0 destroys the object.
//
// Counting is deliberately not atomic. The two threads of the game never change
// the count of the same object: the interface thread reaches the game only through
// the handle stored before the game thread started.
//
// The process counts its live objects (`liveObjects`): a test that builds a scene and
// takes it apart again can see that everything it made is gone.
class Object {
public:
    Object() { s_live.fetch_add(1, std::memory_order_relaxed); }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() { s_live.fetch_sub(1, std::memory_order_relaxed); }

    int32_t refCount() const { return m_refCount; }

    void ref() const { ++m_refCount; }

    // Drops one reference; destroys the object when it was the last one.
    void unref() const {
        FAIRHOLM_ASSERT(m_refCount > 0);
        if (--m_refCount == 0) {
            delete this;
        }
    }

    // Objects alive in the process now, wherever they live (heap, stack, members).
    static int64_t liveObjects() { return s_live.load(std::memory_order_relaxed); }

private:
    mutable int32_t m_refCount = 0;
    inline static std::atomic<int64_t> s_live{0};
};

}  // namespace fairholm
