#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/coursec/CourseSource.h"

namespace fairholm::coursec {

// Turns a parsed course pack into the SWF shape file the game loads.
//
// Every region becomes one closed outline whose edges carry the region's colour on
// the inside and its parent's colour (no fill for the background) on the outside, so
// the scan-line edge table of the loader finds the right fill right of every crossing.
// That holds only for a proper nesting, which check() enforces: outlines closed and
// not crossing themselves, children inside their parents, siblings apart, every
// outline at least `clearance` yards from the others it could meet.
class CourseCompiler {
public:
    // Usable palette entries: the course palette has 48 entries and the first one is the
    // background.
    static constexpr int maxColours = 47;
    // Crossings the game reserves for a course map.
    static constexpr int crossingBudget = 12469;
    // Least distance between two outlines (yards); the loader cuts curves into chords
    // up to a pixel off the exact curve.
    static constexpr double clearance = 1.0;
    // Frame of the file: 16 twips per map pixel, so twips are the loader's 1/16 pixel.
    static constexpr int32_t twipsPerYard = 16;
    static constexpr int32_t frameTwips = 512 * twipsPerYard;

    explicit CourseCompiler(const CourseSource& source) : m_source(source) {}

    // False with the problems found (one per line, naming the regions).
    bool check(std::string& errors);

    // The colour of a surface kind at a height level (see assets/courses/README.md).
    static uint32_t colourOf(int kind, int level);

    // The SWF file. check() must have succeeded.
    std::vector<uint8_t> build() const;

    // Distinct colours, in palette order (palette index = position + 1).
    const std::vector<uint32_t>& colours() const { return m_colours; }
    // Palette index of each region.
    const std::vector<int>& regionFill() const { return m_regionFill; }

private:
    const CourseSource& m_source;
    std::vector<uint32_t> m_colours;
    std::vector<int> m_regionFill;
    std::vector<std::vector<Point>> m_polygons;  // flattened outlines
};

}  // namespace fairholm::coursec
