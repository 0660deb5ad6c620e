#include "runtime/String.h"

#include <cstring>
#include <mutex>

namespace fairholm {

namespace {

// The literal list: most recently added first. Entries are held once by the list and
// never destroyed. Both threads may name literals, so the walk is guarded.
std::mutex literalLock;
String* literalHead = nullptr;

}  // namespace

Ref<String> String::literal(const char* text) {
    std::lock_guard guard(literalLock);
    for (String* entry = literalHead; entry; entry = entry->m_nextLiteral) {
        if (entry->m_chars == text || std::strcmp(entry->m_chars, text) == 0) {
            return Ref<String>(entry);
        }
    }
    auto* entry = new String(LiteralTag{}, text);
    entry->ref();  // the list's own reference: literals live as long as the process
    entry->m_nextLiteral = literalHead;
    literalHead = entry;
    return Ref<String>(entry);
}

String::String(const char* text, int32_t offset, int32_t count) : m_ownsChars(true) {
    if (count < 0) {
        count = 0;
    }
    auto* chars = new char[static_cast<size_t>(count) + 1]();
    if (count > 0) {
        std::memcpy(chars, text + offset, static_cast<size_t>(count));
    }
    m_chars = chars;
}

Ref<String> String::copyOf(std::string_view text) {
    return make<String>(text.data(), 0, static_cast<int32_t>(text.size()));
}

String::~String() {
    if (m_ownsChars) {
        delete[] m_chars;
    }
}

int32_t String::length() const {
    return static_cast<int32_t>(std::strlen(m_chars));
}

bool String::equals(const String* other) const {
    if (other == this) {
        return true;
    }
    if (!other) {
        return false;
    }
    return std::strcmp(m_chars, other->m_chars) == 0;
}

Ref<String> String::substring(int32_t begin) const {
    return make<String>(m_chars, begin, length() - begin);
}

}  // namespace fairholm
