#pragma once

#include <cstdint>

namespace fairholm {

// Base of every runtime and engine object: a virtual destructor and an intrusive
// reference count. Objects are shared through Ref<T> handles (Ref.h); the release
// that brings the count from 1 to 0 destroys the object.
//
// Counting is deliberately not atomic. The two threads of the game never change
// the count of the same object: the interface thread reaches the game only through
// the handle stored before the game thread started.
class Object {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    int32_t refCount() const { return m_refCount; }

    void ref() const { ++m_refCount; }

    // Drops one reference; destroys the object when it was the last one.
    void unref() const {
        if (--m_refCount == 0) {
            delete this;
        }
    }

private:
    mutable int32_t m_refCount = 0;
};

}  // namespace fairholm
