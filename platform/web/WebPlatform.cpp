#include "platform/web/WebPlatform.h"

#include <emscripten.h>

namespace fairholm {

void WebPlatform::playSoundFile(const char* path) {
    if (path) {
        m_sounds.emplace_back(path);
    }
}

bool WebPlatform::replaceFile(const char* path, const uint8_t* bytes, int32_t length) {
    if (!Platform::replaceFile(path, bytes, length)) {
        return false;
    }
    // The page's storage is written behind the game's back; a tab closed right after
    // a save keeps it, since the copy starts now.
    EM_ASM(Module.fairholmPersist && Module.fairholmPersist());
    return true;
}

}  // namespace fairholm
