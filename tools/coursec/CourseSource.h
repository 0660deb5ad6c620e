#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fairholm::coursec {

// A point of the course map in yards: x to the east, z to the south (map pixels).
struct Point {
    double x = 0;
    double z = 0;
};

// One piece of an outline: a straight line or a quadratic curve to `end`.
struct Segment {
    bool curved = false;
    Point control;
    Point end;
};

// A closed outline: a start point and the pieces that lead back to it.
struct Outline {
    Point start;
    std::vector<Segment> segments;
    bool closed = false;

    // The outline as a polygon (curves cut into short chords), without repeating the
    // start point at the end.
    std::vector<Point> flatten() const;
};

// Surface kinds of the ground, numbered as the game numbers them.
enum Kind : int {
    Rough = 1,
    Fairway = 2,
    Water = 3,
    Green = 4,
    TeeBox = 5,
    Bunker = 6,
    Heather = 7,
};

// A named region: one closed outline filled with one surface kind at one height level,
// lying inside its parent region (or on the map background when it has none).
struct Region {
    std::string name;
    int kind = 0;
    int level = 0;
    std::string parentName;  // empty: on the background
    int parent = -1;         // index of the parent region, -1 for the background
    Outline outline;
    int line = 0;  // source line of the region header
};

// Where a hole is played: its tee, the first aim point and the pin, in yards.
struct HoleMark {
    int number = 0;
    Point tee;
    Point aim;
    Point pin;
    int line = 0;
};

// A course pack as written in a .course file.
//
//   # comment to the end of the line
//   course <name>
//   hole <number> tee <x> <z> aim <x> <z> pin <x> <z>
//   region <name> <kind> <level> [in <parent>]
//       <one outline>
//   end
//
// See assets/courses/README.md for the outline commands.
class CourseSource {
public:
    // The level of the map background (heather and dunes, the palette's first entry).
    static constexpr int backgroundLevel = 128;
    static constexpr int backgroundKind = Heather;
    static constexpr double mapSize = 512;
    // Bounds that keep the checks quick on any input.
    static constexpr size_t maxRegions = 1000;
    static constexpr size_t maxSegments = 512;
    // Every number of a source lies within this much of 0 (four courses' widths: room
    // for outlines beyond the edges and for turns in degrees); tees, aim points and pins
    // lie on the course, 0 to under 512.
    static constexpr double maxMagnitude = 2048;
    static constexpr double courseSize = 512;

    // False with "line N: ..." in `error` when the text is malformed or refers to
    // regions that do not exist.
    bool parse(std::string_view text, std::string& error);

    const std::string& name() const { return m_name; }
    const std::vector<Region>& regions() const { return m_regions; }
    const std::vector<HoleMark>& holes() const { return m_holes; }

    // Kind number of a kind name ("rough", "fairway", ...) or of a digit 1..7; 0 if unknown.
    static int kindOf(std::string_view word);
    static const char* kindName(int kind);

private:
    std::string m_name;
    std::vector<Region> m_regions;
    std::vector<HoleMark> m_holes;
};

}  // namespace fairholm::coursec
