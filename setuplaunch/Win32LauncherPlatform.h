#pragma once

#include "setuplaunch/LauncherPlatform.h"

namespace fairholm {

// The launcher's services on desktop Windows: the registry, the module path, the message
// box and the C runtime's program-replacing start.
class Win32LauncherPlatform final : public LauncherPlatform {
public:
    bool readManagerValue(char* buffer, uint32_t& size) override;
    uint32_t moduleFileName(char* buffer, uint32_t size) override;
    void showError(const char* text, const char* caption) override;
    void startOverlay(const char* program, const char* argument) override;
};

}  // namespace fairholm
