#pragma once

#include <cstddef>
#include <utility>

#include "runtime/Object.h"

namespace fairholm {

// A counted handle to an Object (or any class with ref()/unref()). Storing a handle
// counts one reference, dropping it releases that reference.
//
// Passing a Ref<T> by value is the "counted argument" of the object model: the caller's
// copy is the counted handle and the callee releases it when the parameter dies.
// Operations that only borrow an object take `T&` or `const T&` instead.
template <typename T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    Ref(T* object) : m_ptr(object) {
        if (m_ptr) {
            m_ptr->ref();
        }
    }
    Ref(const Ref& other) : Ref(other.m_ptr) {}
    Ref(Ref&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    template <typename U>
    Ref(const Ref<U>& other) : Ref(other.ptr()) {}
    template <typename U>
    Ref(Ref<U>&& other) noexcept : m_ptr(other.leakRef()) {}

    ~Ref() { release(); }

    Ref& operator=(const Ref& other) {
        assign(other.m_ptr);
        return *this;
    }
    Ref& operator=(Ref&& other) noexcept {
        if (this != &other) {
            T* incoming = std::exchange(other.m_ptr, nullptr);
            T* old = std::exchange(m_ptr, nullptr);
            if (old) {
                old->unref();
            }
            m_ptr = incoming;
        }
        return *this;
    }
    Ref& operator=(T* object) {
        assign(object);
        return *this;
    }
    Ref& operator=(std::nullptr_t) {
        release();
        return *this;
    }

    // Stores `object` in this slot. When the slot held the last reference to another
    // object, that object is destroyed before the new handle is stored. The new object
    // is counted first, so assigning an object to the slot that already holds it, or an
    // object that only the old one kept alive, is safe.
    void assign(T* object) {
        if (object) {
            object->ref();
        }
        T* old = std::exchange(m_ptr, nullptr);
        if (old) {
            old->unref();
        }
        m_ptr = object;
    }

    // Drops the reference held by this slot and empties it.
    void release() {
        if (T* old = std::exchange(m_ptr, nullptr)) {
            old->unref();
        }
    }

    // Hands the counted reference to the caller, leaving the slot empty.
    [[nodiscard]] T* leakRef() { return std::exchange(m_ptr, nullptr); }

    T* ptr() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    T& operator*() const { return *m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    bool isNull() const { return m_ptr == nullptr; }

    template <typename U>
    bool operator==(const Ref<U>& other) const {
        return m_ptr == other.ptr();
    }
    bool operator==(const T* other) const { return m_ptr == other; }
    bool operator==(std::nullptr_t) const { return m_ptr == nullptr; }

private:
    T* m_ptr = nullptr;
};

// Creates a new object and returns its first counted handle.
template <typename T, typename... Args>
Ref<T> make(Args&&... args) {
    return Ref<T>(new T(std::forward<Args>(args)...));
}

// Downcast of a handle whose dynamic type the caller knows.
template <typename T, typename U>
Ref<T> static_ref_cast(const Ref<U>& from) {
    return Ref<T>(static_cast<T*>(from.ptr()));
}

}  // namespace fairholm
