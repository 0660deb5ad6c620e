// The desktop shell's sounds: what a hostile sound file does to the window thread.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/sdl/SdlSound.h"

using namespace fairholm;
namespace fs = std::filesystem;

namespace {

// A mono 16-bit WAV at 22050 Hz holding `samples` samples.
std::vector<uint8_t> wav(uint32_t samples) {
    std::vector<uint8_t> b;
    auto u32 = [&b](uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    };
    auto u16 = [&b](uint16_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    };
    const uint32_t data = samples * 2;
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    u32(36 + data);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    u32(16);
    u16(1);
    u16(1);
    u32(22050);
    u32(44100);
    u16(2);
    u16(16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    u32(data);
    for (uint32_t i = 0; i < samples; ++i) {
        u16(static_cast<uint16_t>(i * 997));
    }
    return b;
}

class SdlSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        dir = fs::temp_directory_path() / ("fairholm-sound-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string file(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return (dir / name).string();
    }
    fs::path dir;
};

}  // namespace

TEST_F(SdlSoundTest, ASoundIsDecodedAndOneWithoutSamplesStaysSilent) {
    SdlSound sound;
    EXPECT_FALSE(sound.load(file("hit", wav(2205))).empty());
    EXPECT_TRUE(sound.load(file("empty", wav(0))).empty());
    sound.play((dir / "empty").string());  // nothing to play, nothing copied
    EXPECT_TRUE(sound.load((dir / "missing").string()).empty());
}

TEST_F(SdlSoundTest, AFileLargerThanASoundMayBeIsNotRead) {
    // A header that claims 2 GB of samples in a sparse file of that size.
    std::vector<uint8_t> header = wav(16);
    const uint32_t claimed = (uint32_t{2} << 30) - 64;
    for (int i = 0; i < 4; ++i) {
        header[4 + i] = static_cast<uint8_t>((claimed + 36) >> (8 * i));
        header[40 + i] = static_cast<uint8_t>(claimed >> (8 * i));
    }
    const std::string music = file("music", header);
    fs::resize_file(music, uintmax_t{2} << 30);
    SdlSound sound;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(sound.load(music).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}
