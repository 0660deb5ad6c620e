#pragma once

#include <cstdint>
#include <memory>

#include "runtime/Object.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace fairholm {

// A growable text builder. It starts with room for 10 characters; `append(String)`
// grows at most once, to fit the whole text plus 10 spare characters, and a lone
// `appendChar` grows to fit one character plus 10.
class StringBuffer final : public Object {
public:
    StringBuffer();
    explicit StringBuffer(const String& initial);

    StringBuffer& append(const String& text);
    StringBuffer& append(const Ref<String>& text) { return append(*text); }
    StringBuffer& append(int32_t value);
    StringBuffer& appendChar(char c);

    Ref<String> toString() const;

    int32_t length() const { return m_length; }
    int32_t capacity() const { return m_capacity; }
    const char* chars() const { return m_chars.get(); }

private:
    void grow(int32_t newCapacity);

    int32_t m_capacity = 0;
    int32_t m_length = 0;
    std::unique_ptr<char[]> m_chars;
};

}  // namespace fairholm
