#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/Object.h"
#include "runtime/Ref.h"

namespace fairholm {

// Immutable 8-bit text ending at its first zero byte.
//
// Program literals are wrapped once, on first use, in a permanent String that is found
// again by content: String::literal("Par") returns the same object wherever it is called.
// Other strings own a copy of their characters.
class String final : public Object {
public:
    // The permanent String for a literal text. `text` must outlive the process (a
    // string literal); it is not copied.
    static Ref<String> literal(const char* text);

    // A new String holding `count` bytes copied from `text + offset`.
    String(const char* text, int32_t offset, int32_t count);
    // A new String holding a copy of `text`.
    static Ref<String> copyOf(std::string_view text);

    ~String() override;

    int32_t length() const;
    const char* chars() const { return m_chars; }
    std::string_view view() const { return std::string_view(m_chars, static_cast<size_t>(length())); }
    char charAt(int32_t index) const { return m_chars[index]; }

    // True for the same object, false for an empty handle, otherwise byte equality.
    bool equals(const String* other) const;
    bool equals(const Ref<String>& other) const { return equals(other.ptr()); }

    // The characters from `begin` to the end, as a new String.
    Ref<String> substring(int32_t begin) const;

    bool isLiteral() const { return !m_ownsChars; }

private:
    struct LiteralTag {};
    String(LiteralTag, const char* text) : m_chars(text), m_ownsChars(false) {}

    const char* m_chars = nullptr;
    bool m_ownsChars = false;
    String* m_nextLiteral = nullptr;
};

// Shorthand for String::literal, used wherever the game names a text or a file.
inline Ref<String> lit(const char* text) {
    return String::literal(text);
}

}  // namespace fairholm
