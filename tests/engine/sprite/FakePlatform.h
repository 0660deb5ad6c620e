#pragma once

#include <string>
#include <vector>

#include "engine/sprite/Platform.h"

namespace fairholm::test {

// Records what the engine asks of the platform.
class FakePlatform final : public Platform {
public:
    struct Rect {
        int32_t l, t, r, b;
        bool operator==(const Rect&) const = default;
    };

    bool pocketPC = false;
    bool highResolution = false;
    std::vector<Rect> invalidated;
    std::vector<std::string> sounds;
    int32_t jpegCalls = 0;
    int32_t jpegLength = 0;
    std::vector<uint8_t> lastJpeg;
    uint32_t jpegFill = 0;  // colour written to every pixel when not 0

    bool isPocketPC() const override { return pocketPC; }
    bool isHighResolution() const override { return highResolution; }
    void invalidateWindowRect(int32_t l, int32_t t, int32_t r, int32_t b) override {
        invalidated.push_back({l, t, r, b});
    }
    void playSoundFile(const char* path) override { sounds.emplace_back(path); }
    int32_t decodeJpeg(const uint8_t* stream, int32_t length, int32_t* pixels, int32_t pixelCount) override {
        ++jpegCalls;
        jpegLength = length;
        lastJpeg.assign(stream, stream + length);
        if (jpegFill == 0) {
            return 0;
        }
        for (int32_t i = 0; i < pixelCount; ++i) {
            pixels[i] = static_cast<int32_t>(jpegFill);
        }
        return pixelCount;
    }
};

}  // namespace fairholm::test
