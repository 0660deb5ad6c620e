#include "runtime/InputStream.h"

#include "runtime/ProgramDirectory.h"

namespace fairholm {

Ref<InputStream> InputStream::open(const String& name, int64_t maxBytes) {
    char path[ProgramDirectory::maxPath];
    if (!ProgramDirectory::resolvePath(name, path)) {
        return nullptr;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        return nullptr;
    }
    if (maxBytes != FileLimits::unlimited) {
        // The size as the end's position; a size that cannot be told counts as too large.
        const bool measured = std::fseek(file, 0, SEEK_END) == 0;
        const long size = measured ? std::ftell(file) : -1;
        if (size < 0 || size > maxBytes || std::fseek(file, 0, SEEK_SET) != 0) {
            std::fclose(file);
            return nullptr;
        }
    }
    return Ref<InputStream>(new InputStream(file));
}

// A stream dropped without close() still gives its file back.
InputStream::~InputStream() {
    close();
}

int32_t InputStream::read() {
    if (!m_file) {
        return -1;
    }
    const int c = std::fgetc(m_file);
    return c == EOF ? -1 : c;
}

int32_t InputStream::read(const ByteArray& buffer, int32_t offset, int32_t count) {
    if (!m_file || offset < 0 || count <= 0 || offset >= buffer.length()) {
        return -1;
    }
    if (count > buffer.length() - offset) {
        count = buffer.length() - offset;
    }
    const size_t got = std::fread(buffer.data() + offset, 1, static_cast<size_t>(count), m_file);
    return got == 0 ? -1 : static_cast<int32_t>(got);
}

void InputStream::close() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

}  // namespace fairholm
