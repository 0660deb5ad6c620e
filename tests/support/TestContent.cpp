#include "tests/support/TestContent.h"
#include "game/Course.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "game/Golf.h"
#include "tools/formats/FontWriter.h"
#include "tools/formats/PackWriter.h"
#include "tools/formats/SwfWriter.h"

namespace fairholm::testing {

namespace {

constexpr int twips = 20;

std::vector<uint32_t> flat(int width, int height, uint32_t argb) {
    return std::vector<uint32_t>(static_cast<size_t>(width * height), argb);
}

bool writePack(const std::string& path) {
    formats::PackWriter pack;
    pack.addRunLength(120, 40, 60, 20, flat(120, 40, 0xFF206020));  // 0 title
    const uint32_t textures[7] = {0xFF406020, 0xFF40A040, 0xFF2040C0, 0xFF60E060,
                                  0xFF80C080, 0xFFE0D080, 0xFF806040};
    for (uint32_t colour : textures) {  // 1..7 ground
        pack.addRunLength(32, 32, 0, 0, flat(32, 32, colour));
    }
    pack.addRunLength(6, 24, 1, 23, flat(6, 24, 0xFFFF2020));    // 8 pin
    pack.addRunLength(16, 32, 8, 31, flat(16, 32, 0xFF105010));  // 9 tree
    pack.addRunLength(8, 8, 4, 7, flat(8, 8, 0xFF804000));       // 10 bag
    pack.addRunLength(4, 4, 2, 3, flat(4, 4, 0xFFFFFFFF));       // 11 ball
    pack.addRunLength(4, 2, 2, 1, flat(4, 2, 0x80000000));       // 12 shadow
    for (int frame = 13; frame <= 58; ++frame) {                 // golfers
        const uint32_t shade = static_cast<uint32_t>(frame) * 4;
        pack.addRunLength(20, 40, 10, 39, flat(20, 40, 0xFF000000 | shade << 16 | 0x4000 | shade));
    }
    return pack.save(path);
}

bool writeFont(const std::string& path, int lineHeight) {
    const int glyphHeight = lineHeight - 2;
    formats::FontWriter font(4, lineHeight, lineHeight, 32, 126);
    for (int code = 33; code <= 126; ++code) {
        std::vector<uint8_t> coverage(static_cast<size_t>(5 * glyphHeight), 15);
        font.setGlyph(code, 5, coverage);
    }
    return font.save(path);
}

// A closed outline, clockwise on screen, with `inside` on its inner side and `outside`
// on its outer side (1-based fill indices of the current shape).
void addRegion(SwfWriter& swf, int inside, int outside, int left, int top, int right, int bottom) {
    swf.moveTo(left * twips, top * twips);
    swf.setFills(outside, inside);
    swf.lineTo(right * twips, top * twips);
    swf.lineTo(right * twips, bottom * twips);
    swf.lineTo(left * twips, bottom * twips);
    swf.lineTo(left * twips, top * twips);
}

bool writeCourse(const std::string& path, int firstHole) {
    SwfWriter swf(512 * twips, 512 * twips);
    swf.beginShape(1);
    const int heather = swf.addSolidFill(0xFF000000 | TestContent::heather);
    const int green = swf.addSolidFill(0xFF000000 | TestContent::green);
    const int tee = swf.addSolidFill(0xFF000000 | TestContent::tee);
    const int water = swf.addSolidFill(0xFF000000 | TestContent::water);
    addRegion(swf, heather, 0, 0, 0, 512, 512);
    for (int hole = firstHole; hole < firstHole + 3; ++hole) {
        const Course::Hole& h = Course::holeTable[hole];
        const int g = TestContent::greenHalf;
        const int t = TestContent::teeHalf;
        addRegion(swf, green, heather, h.pinX - g, h.pinZ - g, h.pinX + g, h.pinZ + g);
        addRegion(swf, tee, heather, h.teeX - t, h.teeZ - t, h.teeX + t, h.teeZ + t);
    }
    const int p = TestContent::pondLeft;
    const int q = TestContent::pondTop;
    addRegion(swf, water, heather, p, q, p + TestContent::pondSize, q + TestContent::pondSize);
    swf.endShape();
    return swf.writeFile(path);
}

bool writeArrow(const std::string& path) {
    SwfWriter swf(24 * twips, 24 * twips);
    swf.beginShape(1);
    const int fill = swf.addSolidFill(0xFFFFFFFF);
    swf.addPolygon(fill, {{12 * twips, 1 * twips}, {20 * twips, 22 * twips}, {4 * twips, 22 * twips}});
    swf.endShape();
    return swf.writeFile(path);
}

}  // namespace

bool TestContent::write(const std::string& directory) {
    const std::string dir = directory.empty() || directory.back() == '/' ? directory : directory + "/";
    bool ok = writePack(dir + "golf.bin");
    ok = writeFont(dir + "f10.bin", 10) && ok;
    ok = writeFont(dir + "f13.bin", 13) && ok;
    ok = writeFont(dir + "f16.bin", 16) && ok;
    for (int pack = 0; pack < 6; ++pack) {
        ok = writeCourse(dir + Course::holePackTable[pack * 3], pack * 3) && ok;
    }
    ok = writeArrow(dir + "arrow") && ok;
    std::ofstream help(dir + "help.txt");
    help << "Aim with the arrows and swing with the action key.\n"
            "Press 1 for the club menu and 7 for the view from above.\n"
            "Water and out of bounds cost one stroke.\n";
    return ok && help.good();
}

}  // namespace fairholm::testing
