#pragma once

#include "engine/sprite/Platform.h"

namespace fairholm::testing {

// A platform that answers as a Smartphone with a small screen and ignores what the
// engine asks of it.
class QuietPlatform final : public Platform {
public:
    bool isPocketPC() const override { return false; }
    bool isHighResolution() const override { return false; }
    void invalidateWindowRect(int32_t, int32_t, int32_t, int32_t) override {}
    void playSoundFile(const char*) override {}
};

}  // namespace fairholm::testing
