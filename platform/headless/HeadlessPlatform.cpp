#include "platform/headless/HeadlessPlatform.h"

#include <cstring>

namespace fairholm {

void HeadlessPlatform::playSoundFile(const char* path) {
    const char* slash = std::strrchr(path, '/');
    m_sounds.emplace_back(slash ? slash + 1 : path);
}

}  // namespace fairholm
