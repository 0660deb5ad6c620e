#include "tools/formats/PackWriter.h"

#include <algorithm>
#include <cstdio>

namespace fairholm::formats {

void PackWriter::putVarInt(std::vector<uint8_t>& out, uint32_t value) {
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

int PackWriter::alphaLevel(uint32_t alpha) {
    return static_cast<int>((alpha * 7 + 127) / 255);
}

uint32_t PackWriter::expectedPixel(uint32_t argb) {
    const int level = alphaLevel(argb >> 24);
    if (level == 0) {
        return 0;
    }
    const uint32_t colour =
        (((argb >> 19) & 31) << 19) | (((argb >> 11) & 31) << 11) | (((argb >> 3) & 31) << 3);
    return level == 7 ? 0xFF000000u | colour : (static_cast<uint32_t>(level) << 29) | colour;
}

namespace {

void putSkip(std::vector<uint8_t>& out, int run, int& pendingLevelSlot) {
    // Long skips of 16..47, then a short one of 1..15 for the rest. The last long
    // skip's position is remembered so that the next pixel's alpha can ride in it.
    pendingLevelSlot = -1;
    while (run >= 16) {
        const int k = std::min(run, 47);
        out.push_back(0x86);
        out.push_back(static_cast<uint8_t>(((k - 16) << 3) | 7));
        pendingLevelSlot = static_cast<int>(out.size()) - 1;
        run -= k;
    }
    if (run > 0) {
        out.push_back(static_cast<uint8_t>(0x86 + run));
        pendingLevelSlot = -1;
    }
}

}  // namespace

std::vector<uint8_t> PackWriter::encodeRunLength(int width, int height, const std::vector<uint32_t>& argb) {
    std::vector<uint8_t> out;
    uint32_t history[historySize] = {};
    int slot = 0;
    const size_t count = static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0));
    size_t n = 0;
    int longSkipAlpha = -1;  // index of the last long skip's byte, when it directly precedes
    while (n < count && n < argb.size()) {
        const uint32_t p = argb[n];
        const int level = alphaLevel(p >> 24);
        if (level == 0) {
            size_t end = n;
            while (end < count && end < argb.size() && alphaLevel(argb[end] >> 24) == 0) {
                ++end;
            }
            if (end == count || end == argb.size()) {
                break;  // trailing transparent pixels stay as they are
            }
            putSkip(out, static_cast<int>(end - n), longSkipAlpha);
            n = end;
            continue;
        }
        if (level != 7) {
            if (longSkipAlpha >= 0) {
                out[static_cast<size_t>(longSkipAlpha)] =
                    static_cast<uint8_t>((out[static_cast<size_t>(longSkipAlpha)] & ~7) | level);
            } else {
                out.push_back(static_cast<uint8_t>(0x7F + level));
            }
        }
        longSkipAlpha = -1;
        const uint32_t v = (((p >> 19) & 31) << 10) | (((p >> 11) & 31) << 5) | ((p >> 3) & 31);
        const uint32_t colour = (((v >> 10) & 31) << 19) + (((v >> 5) & 31) << 11) + ((v & 31) << 3);
        int hit = -1;
        for (int i = 0; i < historySize; ++i) {
            if (history[i] == colour) {
                hit = i;
                break;
            }
        }
        if (hit >= 0) {
            out.push_back(static_cast<uint8_t>(0x96 + hit));
        } else {
            out.push_back(static_cast<uint8_t>(v >> 8));
            out.push_back(static_cast<uint8_t>(v & 0xFF));
            history[slot] = colour;
            slot = (slot + 1) % historySize;
        }
        ++n;
    }
    return out;
}

std::vector<uint8_t> PackWriter::encodeAlphaRuns(const std::vector<uint32_t>& argb) {
    std::vector<uint8_t> out;
    size_t n = 0;
    while (n < argb.size()) {
        const int level = alphaLevel(argb[n] >> 24);
        size_t run = 1;
        while (n + run < argb.size() && run < 32 && alphaLevel(argb[n + run] >> 24) == level) {
            ++run;
        }
        out.push_back(static_cast<uint8_t>(((run & 31) << 3) | static_cast<size_t>(level)));
        n += run;
    }
    return out;
}

void PackWriter::addRunLength(int width, int height, int anchorX, int anchorY,
                              const std::vector<uint32_t>& argb) {
    m_entries.push_back({'r', width, height, anchorX, anchorY, encodeRunLength(width, height, argb), {}});
}

void PackWriter::addRaw(int type, int width, int height, int anchorX, int anchorY,
                        std::vector<uint8_t> data) {
    m_entries.push_back({type, width, height, anchorX, anchorY, std::move(data), {}});
}

void PackWriter::addJpeg(int width, int height, int anchorX, int anchorY, std::vector<uint8_t> body,
                         std::vector<uint8_t> alphaRuns) {
    m_entries.push_back({'j', width, height, anchorX, anchorY, std::move(body), std::move(alphaRuns)});
}

void PackWriter::setJpegPrefix(std::vector<uint8_t> prefix) {
    prefix.resize(jpegPrefixLength, 0);
    m_prefix = std::move(prefix);
}

std::vector<uint8_t> PackWriter::bytes() const {
    std::vector<uint8_t> out;
    size_t largestBody = 0;
    for (const Entry& e : m_entries) {
        if (e.type == 'j') {
            largestBody = std::max(largestBody, e.data.size());
        }
    }
    putVarInt(out, static_cast<uint32_t>(m_entries.size()));
    putVarInt(out, m_jpegBufferSize >= 0 ? static_cast<uint32_t>(m_jpegBufferSize)
                                         : static_cast<uint32_t>(jpegPrefixLength + largestBody));
    bool prefixWritten = false;
    for (const Entry& e : m_entries) {
        putVarInt(out, static_cast<uint32_t>(e.type));
        putVarInt(out, static_cast<uint32_t>(e.width));
        putVarInt(out, static_cast<uint32_t>(e.height));
        putVarInt(out, static_cast<uint32_t>(e.anchorX));
        putVarInt(out, static_cast<uint32_t>(e.anchorY));
        if (e.type == 'j') {
            const bool first = !prefixWritten;
            putVarInt(out, static_cast<uint32_t>(e.data.size() + (first ? jpegPrefixLength : 0)));
            putVarInt(out, static_cast<uint32_t>(e.alpha.size()));
            if (first) {
                out.insert(out.end(), m_prefix.begin(), m_prefix.end());
                prefixWritten = true;
            }
            out.insert(out.end(), e.data.begin(), e.data.end());
            out.insert(out.end(), e.alpha.begin(), e.alpha.end());
        } else {
            putVarInt(out, static_cast<uint32_t>(e.data.size()));
            out.insert(out.end(), e.data.begin(), e.data.end());
        }
    }
    return out;
}

bool PackWriter::save(const std::string& path) const {
    const std::vector<uint8_t> data = bytes();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace fairholm::formats
