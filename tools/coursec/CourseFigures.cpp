#include "tools/coursec/CourseFigures.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "engine/render3d/Vswf.h"
#include "runtime/ProgramDirectory.h"
#include "tools/coursec/CourseCompiler.h"

namespace fairholm::coursec {

void CourseFigures::classify(uint32_t colour, int& kind, int& level) {
    const int red = (colour >> 16) & 0xFF, green = (colour >> 8) & 0xFF, blue = colour & 0xFF;
    switch ((red ? 4 : 0) | (green ? 2 : 0) | (blue ? 1 : 0)) {
        case 4:
            kind = Rough, level = red;
            break;
        case 2:
            kind = Fairway, level = green;
            break;
        case 1:
            kind = Water, level = blue;
            break;
        case 3:
            kind = Green, level = blue;
            break;
        case 5:
            kind = TeeBox, level = blue;
            break;
        case 6:
            kind = Bunker, level = red;
            break;
        case 7:
            kind = Heather, level = blue;
            break;
        default:
            kind = Heather, level = colour == 0 ? CourseSource::backgroundLevel : 0;
            break;
    }
}

bool CourseFigures::load(const std::string& path, Ref<Vpolyn> picture) {
    namespace fs = std::filesystem;
    const fs::path file = fs::absolute(path);
    if (!fs::exists(file)) {
        return false;
    }
    if (!ProgramDirectory::set(file.parent_path().c_str())) {
        return false;
    }
    Ref<Vswf> reader = make<Vswf>();
    reader->load(picture, *String::copyOf(file.filename().string()), 512, 512, CourseCompiler::crossingBudget,
                 48, 0);
    return true;
}

bool CourseFigures::measure(const std::string& path) {
    m_picture = make<Vpolyn>();
    if (!load(path, m_picture)) {
        return false;
    }
    m_crossings = m_picture->edgeCount();
    m_coloursUsed = m_picture->paletteUsed() - 1;
    m_area.fill(0);
    m_lowest = 255;
    m_highest = 0;
    m_picture->setMemoRow(-1);
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            int kind, level;
            surfaceAt(x + 0.5, y + 0.5, kind, level);
            ++m_area[kind];
            m_lowest = std::min(m_lowest, level);
            m_highest = std::max(m_highest, level);
        }
    }
    return true;
}

void CourseFigures::surfaceAt(double x, double z, int& kind, int& level) {
    const int32_t index =
        m_picture->indexAt(static_cast<int32_t>(x * 32768), static_cast<int32_t>(z * 32768));
    classify(static_cast<uint32_t>(m_picture->paletteColor(index)), kind, level);
}

bool CourseFigures::checkHoles(const CourseSource& source, std::string& errors) {
    bool ok = true;
    for (const HoleMark& h : source.holes()) {
        int kind, level;
        surfaceAt(h.tee.x + 0.5, h.tee.z + 0.5, kind, level);
        if (kind != TeeBox) {
            errors += "hole " + std::to_string(h.number) + " (line " + std::to_string(h.line) +
                      "): the tee lies on " + CourseSource::kindName(kind) + ", not on a tee box\n";
            ok = false;
        }
        surfaceAt(h.pin.x + 0.5, h.pin.z + 0.5, kind, level);
        if (kind != Green) {
            errors += "hole " + std::to_string(h.number) + " (line " + std::to_string(h.line) +
                      "): the pin lies on " + CourseSource::kindName(kind) + ", not on a green\n";
            ok = false;
        }
    }
    return ok;
}

std::string CourseFigures::report(const std::string& name) const {
    char line[160];
    std::string text;
    std::snprintf(line, sizeof line, "%s: colours %d of %d, crossings %d of %d, levels %d..%d\n",
                  name.c_str(), m_coloursUsed, CourseCompiler::maxColours, m_crossings,
                  CourseCompiler::crossingBudget, m_lowest, m_highest);
    text += line;
    for (int kind = 1; kind <= 7; ++kind) {
        std::snprintf(line, sizeof line, "  %-10s %6d sq yd  %5.1f %%\n", CourseSource::kindName(kind),
                      m_area[kind], 100.0 * m_area[kind] / (512.0 * 512.0));
        text += line;
    }
    return text;
}

}  // namespace fairholm::coursec
