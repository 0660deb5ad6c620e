#include "runtime/StringBuffer.h"

#include <cstring>

namespace fairholm {

namespace {
constexpr int32_t initialCapacity = 10;
constexpr int32_t spare = 10;
}  // namespace

StringBuffer::StringBuffer() : m_capacity(initialCapacity), m_chars(new char[initialCapacity + 1]()) {}

StringBuffer::StringBuffer(const String& initial) : StringBuffer() {
    append(initial);
}

void StringBuffer::grow(int32_t newCapacity) {
    auto block = std::make_unique<char[]>(static_cast<size_t>(newCapacity) + 1);
    std::memcpy(block.get(), m_chars.get(), static_cast<size_t>(m_length) + 1);
    m_chars = std::move(block);
    m_capacity = newCapacity;
}

StringBuffer& StringBuffer::append(const String& text) {
    const int32_t n = text.length();
    if (m_length + n > m_capacity) {
        grow(m_length + n + spare);
    }
    const char* chars = text.chars();
    for (int32_t i = 0; i < n; ++i) {
        appendChar(chars[i]);
    }
    return *this;
}

StringBuffer& StringBuffer::appendChar(char c) {
    if (m_length + 1 > m_capacity) {
        grow(m_length + 1 + spare);
    }
    m_chars[m_length++] = c;
    m_chars[m_length] = 0;
    return *this;
}

StringBuffer& StringBuffer::append(int32_t value) {
    // Digits are produced from the unsigned magnitude, so INT32_MIN needs no special case.
    char digits[32];
    int count = 0;
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        appendChar('-');
    }
    while (count > 0) {
        appendChar(digits[--count]);
    }
    return *this;
}

Ref<String> StringBuffer::toString() const {
    return make<String>(m_chars.get(), 0, m_length);
}

}  // namespace fairholm
