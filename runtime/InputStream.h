#pragma once

#include <cstdint>
#include <cstdio>

#include "runtime/Array.h"
#include "runtime/FileLimits.h"
#include "runtime/Object.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace fairholm {

// A byte reader over a file in the program directory. Every file format of the
// engine is read through it, one byte or one block at a time; -1 marks the end.
class InputStream final : public Object {
public:
    // Opens the named file for reading; an empty handle when it does not open, the path
    // does not fit, or the file is larger than `maxBytes` (FileLimits).
    static Ref<InputStream> open(const String& name, int64_t maxBytes = FileLimits::unlimited);

    ~InputStream() override;

    // The next byte (0..255), or -1 at the end, on an error or when closed.
    int32_t read();

    // Reads up to `count` bytes into `buffer` from `offset`. Returns the number read
    // when at least one was, else -1. The range is clamped to the array.
    int32_t read(const ByteArray& buffer, int32_t offset, int32_t count);

    // Closes the file; a second close does nothing.
    void close();

    bool isOpen() const { return m_file != nullptr; }

private:
    explicit InputStream(std::FILE* file) : m_file(file) {}

    std::FILE* m_file = nullptr;
};

}  // namespace fairholm
