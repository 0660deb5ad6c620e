#include "tools/packgen/PackBuilder.h"

#include <fstream>
#include <map>

#include "tools/formats/PackWriter.h"
#include "tools/packgen/GolferMaker.h"
#include "tools/packgen/SceneryMaker.h"
#include "tools/packgen/TextureMaker.h"
#include "tools/packgen/TitleMaker.h"

namespace fairholm::packgen {

std::string PackBuilder::font(const std::string& role) const {
    const Script::Line line = m_list.find("font", role);
    return line.size() >= 3 ? m_fontDir + "/" + line[2] : std::string();
}

bool PackBuilder::build(std::string& error) {
    if (!m_list.load(m_sourceDir + "/pictures.txt", error) ||
        !m_palette.load(m_sourceDir + "/palette.txt", error) ||
        !m_figure.load(m_sourceDir + "/golfer.txt", error)) {
        return false;
    }
    std::map<int, Picture> byNumber;
    const TextureMaker textures(m_palette);
    const SceneryMaker scenery(m_palette);
    const TitleMaker title(m_palette, font("title"));
    GolferMaker golfers(m_palette, m_figure);
    golfers.setStrict(!m_loose);
    for (const Script::Line& line : m_list.lines()) {
        try {
            if (line[0] == "picture") {
                if (line.size() != 8) {
                    error = "picture: expected number, kind, name, width, height, hot spot";
                    return false;
                }
                Picture p;
                const int number = std::stoi(line[1]);
                p.width = std::stoi(line[4]);
                p.height = std::stoi(line[5]);
                p.anchorX = std::stoi(line[6]);
                p.anchorY = std::stoi(line[7]);
                if (p.width < 1 || p.height < 1 || p.width > 1024 || p.height > 1024) {
                    error = "picture " + line[1] + ": bad size";
                    return false;
                }
                bool ok = false;
                if (line[2] == "title") {
                    ok = title.make(line[3], p, error);
                } else if (line[2] == "texture") {
                    ok = textures.make(line[3], p, error);
                    if (ok && (p.width != std::stoi(line[4]) || p.height != std::stoi(line[5]))) {
                        error = "textures are " + std::to_string(TextureMaker::size) + " texels square";
                        ok = false;
                    }
                } else if (line[2] == "object") {
                    ok = scenery.make(line[3], p, error);
                } else {
                    error = "unknown picture kind " + line[2];
                }
                if (!ok) {
                    return false;
                }
                if (byNumber.count(number) != 0) {
                    error = "picture " + line[1] + " given twice";
                    return false;
                }
                byNumber[number] = std::move(p);
            } else if (line[0] == "golfer") {
                if (line.size() != 3) {
                    error = "golfer: expected first number and build";
                    return false;
                }
                std::vector<Picture> frames;
                if (!golfers.make(line[2], frames, error)) {
                    return false;
                }
                const int first = std::stoi(line[1]);
                for (size_t i = 0; i < frames.size(); ++i) {
                    const int number = first + static_cast<int>(i);
                    if (byNumber.count(number) != 0) {
                        error = "picture " + std::to_string(number) + " given twice";
                        return false;
                    }
                    byNumber[number] = std::move(frames[i]);
                }
            }
        } catch (const std::exception&) {
            error = "bad number in: " + line[0] + " " + (line.size() > 1 ? line[1] : "");
            return false;
        }
    }
    const std::vector<std::string> missing = m_palette.missingColours();
    if (!missing.empty()) {
        error = "colour not in the palette: " + missing.front();
        return false;
    }
    if (byNumber.empty()) {
        error = "no pictures listed";
        return false;
    }
    m_pictures.clear();
    for (auto& [number, picture] : byNumber) {
        if (number != static_cast<int>(m_pictures.size())) {
            error = "picture " + std::to_string(m_pictures.size()) + " is missing";
            return false;
        }
        m_pictures.push_back(std::move(picture));
    }
    return true;
}

std::vector<uint8_t> PackBuilder::packBytes() const {
    formats::PackWriter writer;
    for (const Picture& p : m_pictures) {
        writer.addRunLength(p.width, p.height, p.anchorX, p.anchorY, p.argb);
    }
    return writer.bytes();
}

bool PackBuilder::writePack(const std::string& path, std::string& error) const {
    const std::vector<uint8_t> bytes = packBytes();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace fairholm::packgen
