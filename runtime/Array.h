#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

#include "runtime/Assert.h"
#include "runtime/Ref.h"

namespace fairholm {

// A counted array: a shared block of `length` elements with a separately held share
// count. Copying the value shares the block; the last value to let go frees it. A
// zero-length array has no block and no counter. Element reads and writes go through
// the shared block, so all copies see them.
//
// Arrays of handles (Array<Ref<T>>) release their elements from the last to the first
// when the block is freed.
template <typename T>
class Array {
public:
    // Blocks start on a cache line: rows of pixels that split at multiples of 16
    // pixels then share no line (threads drawing neighbouring columns).
    static constexpr size_t blockAlignment = 64;

    Array() = default;

    // A new zero-filled array of `length` elements, or an empty one when `length` is
    // not positive or the memory cannot be had.
    static Array create(int32_t length) {
        Array array;
        if (length <= 0 || static_cast<size_t>(length) > std::numeric_limits<size_t>::max() / sizeof(T)) {
            return array;
        }
        T* data = static_cast<T*>(::operator new(sizeof(T) * static_cast<size_t>(length),
                                                 std::align_val_t(blockAlignment), std::nothrow));
        if (!data) {
            return array;
        }
        if constexpr (std::is_trivially_default_constructible_v<T>) {
            std::memset(static_cast<void*>(data), 0, sizeof(T) * static_cast<size_t>(length));
        } else {
            for (int32_t i = 0; i < length; ++i) {
                new (&data[i]) T();
            }
        }
        array.m_counter = new (std::nothrow) int32_t(1);
        if (!array.m_counter) {
            ::operator delete(data, std::align_val_t(blockAlignment));
            return array;
        }
        array.m_data = data;
        array.m_length = length;
        return array;
    }

    Array(const Array& other) : m_counter(other.m_counter), m_data(other.m_data), m_length(other.m_length) {
        if (m_counter) {
            ++*m_counter;
        }
    }
    Array(Array&& other) noexcept
        : m_counter(std::exchange(other.m_counter, nullptr)),
          m_data(std::exchange(other.m_data, nullptr)),
          m_length(std::exchange(other.m_length, 0)) {}

    Array& operator=(const Array& other) {
        if (m_counter != other.m_counter) {
            Array copy(other);
            swap(copy);
        }
        return *this;
    }
    Array& operator=(Array&& other) noexcept {
        Array moved(std::move(other));
        swap(moved);
        return *this;
    }

    ~Array() { release(); }

    // Lets go of the block (freeing it when this was the last value) and becomes empty.
    void release() {
        int32_t* counter = std::exchange(m_counter, nullptr);
        T* data = std::exchange(m_data, nullptr);
        int32_t length = std::exchange(m_length, 0);
        if (counter && --*counter == 0) {
            freeBlock(counter, data, length);
        }
    }

    void swap(Array& other) noexcept {
        std::swap(m_counter, other.m_counter);
        std::swap(m_data, other.m_data);
        std::swap(m_length, other.m_length);
    }

    int32_t length() const { return m_length; }
    bool isEmpty() const { return m_length == 0; }
    T* data() const { return m_data; }
    T& operator[](int32_t index) const {
        FAIRHOLM_ASSERT(index >= 0 && index < m_length);
        return m_data[index];
    }
    T* begin() const { return m_data; }
    T* end() const { return m_data + m_length; }

    // Number of array values sharing the block (0 for an empty array).
    int32_t shareCount() const { return m_counter ? *m_counter : 0; }

    bool sharesBlockWith(const Array& other) const { return m_counter == other.m_counter; }

private:
    // Out of line: keeps the freeing path out of every inlined copy and release.
    [[gnu::noinline]] static void freeBlock(int32_t* counter, T* data, int32_t length) {
        delete counter;
        if constexpr (!std::is_trivially_destructible_v<T>) {
            for (int32_t i = length - 1; i >= 0; --i) {
                data[i].~T();
            }
        }
        ::operator delete(data, std::align_val_t(blockAlignment));
    }

    int32_t* m_counter = nullptr;
    T* m_data = nullptr;
    int32_t m_length = 0;
};

using ByteArray = Array<uint8_t>;
using ShortArray = Array<int16_t>;
using IntArray = Array<int32_t>;
template <typename T>
using HandleArray = Array<Ref<T>>;

inline ByteArray newByteArray(int32_t n) {
    return ByteArray::create(n);
}
inline ShortArray newShortArray(int32_t n) {
    return ShortArray::create(n);
}
inline IntArray newIntArray(int32_t n) {
    return IntArray::create(n);
}
template <typename T>
HandleArray<T> newHandleArray(int32_t n) {
    return HandleArray<T>::create(n);
}

}  // namespace fairholm
