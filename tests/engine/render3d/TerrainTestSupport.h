#pragma once

// Helpers shared by the terrain tests: image packs written on the fly.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/sprite/Vilib.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace fairholm::test {

// One 'r' picture of a pack: every pixel opaque, colours 0xRRGGBB.
struct PackPicture {
    int32_t width = 0;
    int32_t height = 0;
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    std::vector<int32_t> colours;
};

inline void putVarInt(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n > 1) {
        out.push_back(static_cast<uint8_t>(groups[--n] | 0x80));
    }
    out.push_back(groups[0]);
}

// Where "<name>.bin" lies in the program directory.
inline std::string packPath(const std::string& name) {
    return std::string(ProgramDirectory::get()) + name + ".bin";
}

// Writes the pack "<name>.bin" into the program directory.
inline void writePack(const std::string& name, const std::vector<PackPicture>& pictures) {
    std::vector<uint8_t> out;
    putVarInt(out, static_cast<uint32_t>(pictures.size()));
    putVarInt(out, 0);
    for (const PackPicture& p : pictures) {
        std::vector<uint8_t> data;
        for (int32_t c : p.colours) {
            const int32_t v = (((c >> 19) & 31) << 10) | (((c >> 11) & 31) << 5) | ((c >> 3) & 31);
            data.push_back(static_cast<uint8_t>(v >> 8));
            data.push_back(static_cast<uint8_t>(v & 0xFF));
        }
        putVarInt(out, 'r');
        putVarInt(out, static_cast<uint32_t>(p.width));
        putVarInt(out, static_cast<uint32_t>(p.height));
        putVarInt(out, static_cast<uint32_t>(p.anchorX));
        putVarInt(out, static_cast<uint32_t>(p.anchorY));
        putVarInt(out, static_cast<uint32_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    }
    std::FILE* f = std::fopen(packPath(name).c_str(), "wb");
    if (f) {
        std::fwrite(out.data(), 1, out.size(), f);
        std::fclose(f);
    }
}

inline PackPicture solidPicture(int32_t width, int32_t height, int32_t colour) {
    PackPicture p;
    p.width = width;
    p.height = height;
    p.colours.assign(static_cast<size_t>(width * height), colour);
    return p;
}

// A pack written into a program directory of its own for the life of the object; the
// previous program directory comes back afterwards.
class PackFile {
public:
    PackFile(const std::string& name, const std::vector<PackPicture>& pictures)
        : m_previous(ProgramDirectory::get()),
          m_dir(std::filesystem::temp_directory_path() / ("fairholm-terrain-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(m_dir);
        ProgramDirectory::set(m_dir.c_str());
        writePack(name, pictures);
        m_pack = make<Vilib>(nullptr, *String::copyOf(name));
    }
    ~PackFile() {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
        ProgramDirectory::set(m_previous.c_str());
    }
    const Ref<Vilib>& pack() const { return m_pack; }

private:
    std::string m_previous;
    std::filesystem::path m_dir;
    Ref<Vilib> m_pack;
};

}  // namespace fairholm::test
