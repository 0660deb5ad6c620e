#pragma once

#include <string>
#include <vector>

#include "tools/packgen/Picture.h"
#include "tools/packgen/Script.h"

namespace fairholm::packgen {

// Makes every picture of the pack from the sources in a pictures folder (the list
// pictures.txt, the palette palette.txt, the golfers golfer.txt) and writes the pack.
class PackBuilder {
public:
    // `fontDir` holds the DejaVu fonts that pictures.txt names.
    PackBuilder(std::string sourceDir, std::string fontDir)
        : m_sourceDir(std::move(sourceDir)), m_fontDir(std::move(fontDir)) {}

    bool build(std::string& error);
    // Keeps golfer frames that leave their canvas instead of failing (trying poses out).
    void setLoose(bool loose) { m_loose = loose; }
    const std::vector<Picture>& pictures() const { return m_pictures; }
    // The font for `role` (title, labels) as a path.
    std::string font(const std::string& role) const;

    // The pack file: every picture run-length coded, in picture-number order.
    std::vector<uint8_t> packBytes() const;
    bool writePack(const std::string& path, std::string& error) const;

private:
    std::string m_sourceDir;
    std::string m_fontDir;
    Script m_list;
    Script m_palette;
    Script m_figure;
    std::vector<Picture> m_pictures;
    bool m_loose = false;
};

}  // namespace fairholm::packgen
