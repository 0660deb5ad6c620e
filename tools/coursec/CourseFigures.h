#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/render3d/Vpolyn.h"
#include "runtime/Ref.h"
#include "tools/coursec/CourseSource.h"

namespace fairholm::coursec {

// What the game will see of a compiled pack: the file read back by the engine's own
// shape loader, exactly as the game loads a course (512 x 512 pixels, 12469 crossings
// reserved, 48 palette entries), and figures about it.
class CourseFigures {
public:
    // Kind and height level of a palette colour, as the game classifies it.
    static void classify(uint32_t colour, int& kind, int& level);

    // Loads the file at `path` into `picture` (any Vpolyn, a VpolyTerrain included);
    // false when it cannot be read.
    static bool load(const std::string& path, Ref<Vpolyn> picture);

    // Reads the compiled file back; false when it cannot be read.
    bool measure(const std::string& path);

    int coloursUsed() const { return m_coloursUsed; }
    int crossings() const { return m_crossings; }
    // Map pixels (square yards) of each surface kind 1..7 (index 0 unused).
    const std::array<int, 8>& area() const { return m_area; }
    int lowestLevel() const { return m_lowest; }
    int highestLevel() const { return m_highest; }
    // Kind and level under a map point (yards).
    void surfaceAt(double x, double z, int& kind, int& level);

    // Checks the hole marks: every tee on a tee box, every pin on a green, both inside
    // the map. Problems are appended to `errors`, one per line.
    bool checkHoles(const CourseSource& source, std::string& errors);

    // The figures as text, one item per line.
    std::string report(const std::string& name) const;

    const Ref<Vpolyn>& picture() const { return m_picture; }

private:
    Ref<Vpolyn> m_picture;
    int m_coloursUsed = 0;
    int m_crossings = 0;
    std::array<int, 8> m_area{};
    int m_lowest = 255;
    int m_highest = 0;
};

}  // namespace fairholm::coursec
