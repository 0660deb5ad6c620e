#include "engine/sprite/Vdisplay.h"

#include <cstdio>
#include <cstring>

#include "runtime/InputStream.h"
#include "runtime/ProgramDirectory.h"

namespace fairholm {

Vdisplay::Vdisplay(Ref<Platform> platform) : m_platform(std::move(platform)) {}

Ref<String> Vdisplay::deviceKind() const {
    return m_platform && m_platform->isPocketPC() ? lit("PocketPC") : lit("Smartphone");
}

bool Vdisplay::playSound(const String& name) {
    char path[ProgramDirectory::maxPath];
    const char* directory = ProgramDirectory::get();
    const size_t directoryLength = std::strlen(directory);
    const size_t nameLength = std::strlen(name.chars());
    if (directoryLength + nameLength < sizeof(path) && m_platform) {
        std::memcpy(path, directory, directoryLength);
        std::memcpy(path + directoryLength, name.chars(), nameLength + 1);
        m_platform->playSoundFile(path);
    }
    return true;
}

bool Vdisplay::resolveSavePath(const String& name, char (&path)[ProgramDirectory::maxPath]) const {
    const char* folder = m_platform ? m_platform->saveDirectory() : nullptr;
    if (!folder) {
        return ProgramDirectory::resolvePath(name, path);
    }
    const char* text = name.chars()[0] == '/' ? name.chars() + 1 : name.chars();
    const int written = std::snprintf(path, sizeof path, "%s%s", folder, text);
    return written > 0 && static_cast<size_t>(written) < sizeof path;
}

bool Vdisplay::loadBytes(const String& name, const ByteArray& buffer) {
    return readBytes(name, buffer) == buffer.length();
}

int32_t Vdisplay::readBytes(const String& name, const ByteArray& buffer) {
    if (m_platform && m_platform->saveDirectory()) {
        char path[ProgramDirectory::maxPath];
        std::FILE* file = resolveSavePath(name, path) ? std::fopen(path, "rb") : nullptr;
        if (!file) {
            return -1;
        }
        const size_t got = buffer.length() > 0
                               ? std::fread(buffer.data(), 1, static_cast<size_t>(buffer.length()), file)
                               : 0;
        std::fclose(file);
        return static_cast<int32_t>(got);
    }
    Ref<InputStream> in = InputStream::open(name);
    if (!in) {
        return -1;
    }
    int32_t got = 0;
    while (got < buffer.length()) {
        const int32_t read = in->read(buffer, got, buffer.length() - got);
        if (read <= 0) {
            break;
        }
        got += read;
    }
    in->close();
    return got;
}

bool Vdisplay::saveBytes(const String& name, const ByteArray& buffer) {
    char path[ProgramDirectory::maxPath];
    if (!m_platform || !resolveSavePath(name, path)) {
        return false;
    }
    return m_platform->replaceFile(path, buffer.data(), buffer.length());
}

int32_t Vdisplay::decodeJpeg(const ByteArray& source, int32_t offset, int32_t length, const IntArray& pixels,
                             int32_t pixelOffset) {
    if (!m_platform || offset < 0 || length < 0 || offset > source.length() ||
        length > source.length() - offset || pixelOffset < 0 || pixelOffset > pixels.length()) {
        return 0;
    }
    return m_platform->decodeJpeg(source.data() + offset, length, pixels.data() + pixelOffset,
                                  pixels.length() - pixelOffset);
}

void Vdisplay::invalidateRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!m_platform) {
        return;
    }
    if (m_platform->isHighResolution()) {
        m_platform->invalidateWindowRect(left * 2, top * 2, right * 2, bottom * 2);
    } else {
        m_platform->invalidateWindowRect(left, top, right, bottom);
    }
}

bool Vdisplay::isDoubled() const {
    return m_platform && m_platform->isHighResolution();
}

}  // namespace fairholm
