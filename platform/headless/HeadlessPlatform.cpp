#include "platform/headless/HeadlessPlatform.h"

#include <cstring>

#include "platform/AtomicFile.h"

namespace fairholm {

void HeadlessPlatform::playSoundFile(const char* path) {
    const char* slash = std::strrchr(path, '/');
    m_sounds.emplace_back(slash ? slash + 1 : path);
}

bool HeadlessPlatform::replaceFile(const char* path, const uint8_t* bytes, int32_t length) {
    return AtomicFile::replace(path, bytes, length);
}

}  // namespace fairholm
