#include "platform/sdl/SdlSound.h"

#include <cstring>
#include <filesystem>

#include "runtime/FileLimits.h"

namespace fairholm {

SdlSound::SdlSound() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = 22050;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = 1024;
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &m_spec, 0);
}

SdlSound::~SdlSound() {
    if (m_device != 0) {
        SDL_CloseAudioDevice(m_device);
    }
}

const std::vector<uint8_t>& SdlSound::load(const std::string& path) {
    auto found = m_cache.find(path);
    if (found != m_cache.end()) {
        return found->second;
    }
    std::vector<uint8_t>& samples = m_cache[path];
    // A sound over its limit is not played, like a missing one: nothing from outside
    // makes the window thread read and convert without bound.
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > static_cast<uintmax_t>(FileLimits::sound)) {
        return samples;
    }
    SDL_AudioSpec spec{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path.c_str(), &spec, &data, &length)) {
        return samples;
    }
    if (!data || length == 0) {
        SDL_FreeWAV(data);  // a file without samples: nothing to play
        return samples;
    }
    SDL_AudioCVT cvt{};
    const int needed = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, m_spec.format,
                                         m_spec.channels, m_spec.freq);
    if (needed < 0) {
        SDL_FreeWAV(data);
        return samples;
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(length) *
                                static_cast<size_t>(cvt.len_mult > 0 ? cvt.len_mult : 1));
    std::memcpy(buffer.data(), data, length);
    SDL_FreeWAV(data);
    cvt.buf = buffer.data();
    cvt.len = static_cast<int>(length);
    if (needed > 0 && SDL_ConvertAudio(&cvt) != 0) {
        return samples;
    }
    buffer.resize(static_cast<size_t>(needed > 0 ? cvt.len_cvt : static_cast<int>(length)));
    samples = std::move(buffer);
    return samples;
}

void SdlSound::play(const std::string& path) {
    if (m_device == 0) {
        return;
    }
    const std::vector<uint8_t>& samples = load(path);
    SDL_ClearQueuedAudio(m_device);
    if (!samples.empty()) {
        SDL_QueueAudio(m_device, samples.data(), static_cast<Uint32>(samples.size()));
        SDL_PauseAudioDevice(m_device, 0);
    }
}

}  // namespace fairholm
