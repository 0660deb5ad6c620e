#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace fairholm {

// Plays WAV files on the default audio device. A new sound replaces the one playing.
// Without an audio device it stays silent. Interface thread only.
class SdlSound {
public:
    SdlSound();
    ~SdlSound();
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    void play(const std::string& path);

    // Decoded samples in the device's format, by path; a file that fails, that has no
    // samples or that is larger than a sound may be (FileLimits) stays empty.
    const std::vector<uint8_t>& load(const std::string& path);

private:
    SDL_AudioDeviceID m_device = 0;
    SDL_AudioSpec m_spec{};
    std::map<std::string, std::vector<uint8_t>> m_cache;
};

}  // namespace fairholm
