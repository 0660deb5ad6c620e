#include "tools/coursec/CourseSource.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace fairholm::coursec {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Chords per quadratic curve when an outline is flattened for the checks.
constexpr int kCurvePieces = 16;

Point mid(Point a, Point b) {
    return {(a.x + b.x) / 2, (a.z + b.z) / 2};
}

bool parseNumber(const std::string& word, double& out) {
    if (word.empty()) {
        return false;
    }
    char* end = nullptr;
    out = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && std::isfinite(out);
}

std::string outOfRange(const std::string& word) {
    return "'" + word + "' is out of range (numbers lie between -" +
           std::to_string(static_cast<int>(CourseSource::maxMagnitude)) + " and " +
           std::to_string(static_cast<int>(CourseSource::maxMagnitude)) + ")";
}

bool isNumber(const std::string& word) {
    double ignored;
    return parseNumber(word, ignored);
}

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::string current;
    for (char c : line) {
        if (c == '#') {
            break;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == ',') {
            if (!current.empty()) {
                words.push_back(current);
                current.clear();
            }
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        words.push_back(current);
    }
    return words;
}

// Closed quadratic B-spline: the curve runs through the midpoints of consecutive
// control points and bends toward each control point.
Outline smoothOutline(const std::vector<Point>& p) {
    Outline o;
    const size_t n = p.size();
    o.start = mid(p[n - 1], p[0]);
    for (size_t i = 0; i < n; ++i) {
        Segment s;
        s.curved = true;
        s.control = p[i];
        s.end = i + 1 == n ? o.start : mid(p[i], p[i + 1]);
        o.segments.push_back(s);
    }
    o.closed = true;
    return o;
}

Outline ellipseOutline(Point c, double rx, double rz, double degrees) {
    // Eight 45-degree arcs, each a quadratic curve whose control point lies on the
    // arc's middle direction at r / cos(22.5 degrees).
    const double turn = degrees * kPi / 180;
    const double reach = 1 / std::cos(kPi / 8);
    auto at = [&](double a, double scale) {
        const double ux = std::cos(a) * rx * scale;
        const double uz = std::sin(a) * rz * scale;
        return Point{c.x + ux * std::cos(turn) - uz * std::sin(turn),
                     c.z + ux * std::sin(turn) + uz * std::cos(turn)};
    };
    Outline o;
    o.start = at(0, 1);
    for (int k = 0; k < 8; ++k) {
        Segment s;
        s.curved = true;
        s.control = at((k + 0.5) * kPi / 4, reach);
        s.end = k == 7 ? o.start : at((k + 1) * kPi / 4, 1);
        o.segments.push_back(s);
    }
    o.closed = true;
    return o;
}

// A corridor along a path of (x, z, width) points with rounded ends, smoothed.
Outline stripOutline(const std::vector<Point>& centre, const std::vector<double>& width) {
    const size_t n = centre.size();
    std::vector<Point> left, right;
    auto direction = [&](size_t i) {
        const Point a = centre[i == 0 ? 0 : i - 1];
        const Point b = centre[i + 1 == n ? n - 1 : i + 1];
        double dx = b.x - a.x, dz = b.z - a.z;
        const double len = std::hypot(dx, dz);
        return len > 0 ? Point{dx / len, dz / len} : Point{1, 0};
    };
    for (size_t i = 0; i < n; ++i) {
        const Point d = direction(i);
        const double h = width[i] / 2;
        left.push_back({centre[i].x + d.z * h, centre[i].z - d.x * h});
        right.push_back({centre[i].x - d.z * h, centre[i].z + d.x * h});
    }
    std::vector<Point> ring;
    const Point d0 = direction(0);
    const Point d1 = direction(n - 1);
    const double h0 = width[0] / 2;
    const double h1 = width[n - 1] / 2;
    for (size_t i = 0; i < n; ++i) {
        ring.push_back(left[i]);
    }
    // Round the far end with two points beyond it.
    ring.push_back({left[n - 1].x + d1.x * h1 * 1.1, left[n - 1].z + d1.z * h1 * 1.1});
    ring.push_back({right[n - 1].x + d1.x * h1 * 1.1, right[n - 1].z + d1.z * h1 * 1.1});
    for (size_t i = n; i-- > 0;) {
        ring.push_back(right[i]);
    }
    ring.push_back({right[0].x - d0.x * h0 * 1.1, right[0].z - d0.z * h0 * 1.1});
    ring.push_back({left[0].x - d0.x * h0 * 1.1, left[0].z - d0.z * h0 * 1.1});
    return smoothOutline(ring);
}

}  // namespace

std::vector<Point> Outline::flatten() const {
    std::vector<Point> points;
    points.push_back(start);
    Point pen = start;
    for (const Segment& s : segments) {
        if (s.curved) {
            for (int k = 1; k <= kCurvePieces; ++k) {
                const double t = static_cast<double>(k) / kCurvePieces;
                const double u = 1 - t;
                points.push_back({u * u * pen.x + 2 * u * t * s.control.x + t * t * s.end.x,
                                  u * u * pen.z + 2 * u * t * s.control.z + t * t * s.end.z});
            }
        } else {
            points.push_back(s.end);
        }
        pen = s.end;
    }
    // The last point repeats the start on a closed outline.
    if (points.size() > 1 && points.back().x == points.front().x && points.back().z == points.front().z) {
        points.pop_back();
    }
    return points;
}

int CourseSource::kindOf(std::string_view word) {
    static const struct {
        const char* name;
        int kind;
    } names[] = {{"rough", Rough},     {"fairway", Fairway}, {"water", Water},   {"green", Green},
                 {"tee", TeeBox},      {"fringe", TeeBox},   {"bunker", Bunker}, {"sand", Bunker},
                 {"heather", Heather}, {"dunes", Heather}};
    for (const auto& n : names) {
        if (word == n.name) {
            return n.kind;
        }
    }
    if (word.size() == 1 && word[0] >= '1' && word[0] <= '7') {
        return word[0] - '0';
    }
    return 0;
}

const char* CourseSource::kindName(int kind) {
    static const char* const names[] = {"none",  "rough",      "fairway", "water",
                                        "green", "tee/fringe", "bunker",  "heather"};
    return kind >= 0 && kind <= 7 ? names[kind] : "none";
}

bool CourseSource::parse(std::string_view text, std::string& error) {
    m_name.clear();
    m_regions.clear();
    m_holes.clear();

    int lineNo = 0;
    Region* region = nullptr;
    bool hasOutline = false;
    // The point-list command being collected (it may continue on lines of numbers).
    std::string command;
    std::vector<double> numbers;
    int commandLine = 0;

    auto fail = [&](int line, const std::string& message) {
        error = "line " + std::to_string(line) + ": " + message;
        return false;
    };

    // Applies the collected command to the current region's outline.
    auto finishCommand = [&]() -> bool {
        if (command.empty()) {
            return true;
        }
        const std::string cmd = command;
        command.clear();
        Outline& o = region->outline;
        auto points = [&](size_t stride, size_t minimum) -> bool {
            if (numbers.size() % stride != 0 || numbers.size() < stride * minimum) {
                error = "line " + std::to_string(commandLine) + ": " + cmd + " takes " +
                        (minimum > 1 ? "at least " + std::to_string(minimum) + " groups of " : "groups of ") +
                        std::to_string(stride) + " numbers";
                return false;
            }
            return true;
        };
        auto shapeOnce = [&]() -> bool {
            if (hasOutline) {
                error = "line " + std::to_string(commandLine) + ": region '" + region->name +
                        "' already has an outline (one outline per region; nest regions instead)";
                return false;
            }
            hasOutline = true;
            return true;
        };
        if (cmd == "from") {
            if (!points(2, 1) || numbers.size() != 2 || !shapeOnce()) {
                return error.empty() ? fail(commandLine, "from takes x z") : false;
            }
            o.start = {numbers[0], numbers[1]};
        } else if (cmd == "line" || cmd == "curve") {
            if (!hasOutline || o.closed) {
                return fail(commandLine, cmd + " needs a 'from' first");
            }
            const size_t stride = cmd == "line" ? 2 : 4;
            if (!points(stride, 1)) {
                return false;
            }
            for (size_t i = 0; i < numbers.size(); i += stride) {
                Segment s;
                s.curved = stride == 4;
                if (s.curved) {
                    s.control = {numbers[i], numbers[i + 1]};
                }
                s.end = {numbers[i + stride - 2], numbers[i + stride - 1]};
                o.segments.push_back(s);
            }
        } else if (cmd == "close") {
            if (!hasOutline || o.closed) {
                return fail(commandLine, "close needs an open outline");
            }
            const Point last = o.segments.empty() ? o.start : o.segments.back().end;
            if (last.x != o.start.x || last.z != o.start.z) {
                o.segments.push_back({false, {}, o.start});
            }
            o.closed = true;
        } else if (cmd == "ellipse" || cmd == "circle" || cmd == "rect") {
            const size_t want = cmd == "circle" ? 3 : 4;
            if (numbers.size() != want && !(cmd == "ellipse" && numbers.size() == 5)) {
                return fail(commandLine,
                            cmd + (cmd == "circle"    ? " takes x z radius"
                                   : cmd == "ellipse" ? " takes x z radiusX radiusZ [turn degrees]"
                                                      : " takes x0 z0 x1 z1"));
            }
            if (!shapeOnce()) {
                return false;
            }
            if (cmd == "rect") {
                o.start = {numbers[0], numbers[1]};
                o.segments = {{false, {}, {numbers[2], numbers[1]}},
                              {false, {}, {numbers[2], numbers[3]}},
                              {false, {}, {numbers[0], numbers[3]}},
                              {false, {}, {numbers[0], numbers[1]}}};
                o.closed = true;
            } else if (cmd == "circle") {
                o = ellipseOutline({numbers[0], numbers[1]}, numbers[2], numbers[2], 0);
            } else {
                o = ellipseOutline({numbers[0], numbers[1]}, numbers[2], numbers[3],
                                   numbers.size() == 5 ? numbers[4] : 0);
            }
            if (numbers[2] <= 0 || (cmd != "circle" && numbers[3] <= 0 && cmd != "rect")) {
                return fail(commandLine, cmd + " needs positive radii");
            }
        } else if (cmd == "smooth") {
            if (!points(2, 3) || !shapeOnce()) {
                return false;
            }
            std::vector<Point> p;
            for (size_t i = 0; i < numbers.size(); i += 2) {
                p.push_back({numbers[i], numbers[i + 1]});
            }
            o = smoothOutline(p);
        } else if (cmd == "strip") {
            if (!points(3, 2) || !shapeOnce()) {
                return false;
            }
            std::vector<Point> p;
            std::vector<double> w;
            for (size_t i = 0; i < numbers.size(); i += 3) {
                p.push_back({numbers[i], numbers[i + 1]});
                w.push_back(numbers[i + 2]);
                if (numbers[i + 2] <= 0) {
                    return fail(commandLine, "strip widths must be positive");
                }
            }
            o = stripOutline(p, w);
        } else {
            return fail(commandLine, "unknown outline command '" + cmd + "'");
        }
        numbers.clear();
        if (o.segments.size() > maxSegments) {
            error = "line " + std::to_string(commandLine) + ": region '" + region->name + "' has more than " +
                    std::to_string(maxSegments) + " pieces in its outline";
            return false;
        }
        return true;
    };

    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t eol = text.find('\n', pos);
        const std::string_view line =
            text.substr(pos, eol == std::string_view::npos ? text.size() - pos : eol - pos);
        pos = eol == std::string_view::npos ? text.size() + 1 : eol + 1;
        ++lineNo;
        const std::vector<std::string> words = splitWords(line);
        if (words.empty()) {
            continue;
        }
        const std::string& head = words[0];

        if (region != nullptr) {
            if (isNumber(head) && !command.empty()) {
                for (const std::string& w : words) {
                    double v;
                    if (!parseNumber(w, v)) {
                        return fail(lineNo, "'" + w + "' is not a number");
                    }
                    if (std::fabs(v) > maxMagnitude) {
                        return fail(lineNo, outOfRange(w));
                    }
                    numbers.push_back(v);
                }
                continue;
            }
            if (!finishCommand()) {
                return false;
            }
            if (head == "end") {
                if (words.size() != 1) {
                    return fail(lineNo, "end takes nothing");
                }
                if (!hasOutline) {
                    return fail(lineNo, "region '" + region->name + "' has no outline");
                }
                region = nullptr;
                continue;
            }
            command = head;
            commandLine = lineNo;
            numbers.clear();
            for (size_t i = 1; i < words.size(); ++i) {
                double v;
                if (!parseNumber(words[i], v)) {
                    return fail(lineNo, "'" + words[i] + "' is not a number");
                }
                if (std::fabs(v) > maxMagnitude) {
                    return fail(lineNo, outOfRange(words[i]));
                }
                numbers.push_back(v);
            }
            continue;
        }

        if (head == "course") {
            if (words.size() != 2) {
                return fail(lineNo, "course takes one name");
            }
            m_name = words[1];
        } else if (head == "hole") {
            HoleMark h;
            h.line = lineNo;
            double v[7];
            if (words.size() != 11 || words[2] != "tee" || words[5] != "aim" || words[8] != "pin" ||
                !parseNumber(words[1], v[0]) || !parseNumber(words[3], v[1]) ||
                !parseNumber(words[4], v[2]) || !parseNumber(words[6], v[3]) ||
                !parseNumber(words[7], v[4]) || !parseNumber(words[9], v[5]) ||
                !parseNumber(words[10], v[6])) {
                return fail(lineNo, "hole takes: hole <number> tee <x> <z> aim <x> <z> pin <x> <z>");
            }
            if (v[0] != std::floor(v[0]) || v[0] < 1 || v[0] > 99) {
                return fail(lineNo, "the hole number must be a whole number from 1 to 99");
            }
            static const char* const names[] = {"", "tee x", "tee z", "aim x", "aim z", "pin x", "pin z"};
            for (int i = 1; i < 7; ++i) {
                if (v[i] < 0 || v[i] >= courseSize) {
                    return fail(lineNo, std::string(names[i]) + " " +
                                            words[i < 3   ? i + 2
                                                  : i < 5 ? i + 3
                                                          : i + 4] +
                                            " is outside the course (0 to under 512)");
                }
            }
            h.number = static_cast<int>(v[0]);
            h.tee = {v[1], v[2]};
            h.aim = {v[3], v[4]};
            h.pin = {v[5], v[6]};
            m_holes.push_back(h);
        } else if (head == "region") {
            if (words.size() != 4 && !(words.size() == 6 && words[4] == "in")) {
                return fail(lineNo, "region takes: region <name> <kind> <level> [in <parent>]");
            }
            if (m_regions.size() >= maxRegions) {
                return fail(lineNo, "more than " + std::to_string(maxRegions) + " regions");
            }
            Region r;
            r.name = words[1];
            r.line = lineNo;
            r.kind = kindOf(words[2]);
            if (r.kind == 0) {
                return fail(lineNo, "unknown surface kind '" + words[2] + "'");
            }
            double level;
            if (!parseNumber(words[3], level) || level != std::floor(level) || level < 1 || level > 255) {
                return fail(lineNo,
                            "region '" + r.name + "': the level must be a whole number from 1 to 255");
            }
            r.level = static_cast<int>(level);
            for (const Region& other : m_regions) {
                if (other.name == r.name) {
                    return fail(lineNo, "region '" + r.name + "' is defined twice");
                }
            }
            if (words.size() == 6) {
                r.parentName = words[5];
                for (size_t i = 0; i < m_regions.size(); ++i) {
                    if (m_regions[i].name == r.parentName) {
                        r.parent = static_cast<int>(i);
                    }
                }
                if (r.parent < 0) {
                    return fail(lineNo, "region '" + r.name + "': parent '" + r.parentName +
                                            "' is not defined above it");
                }
            }
            m_regions.push_back(r);
            region = &m_regions.back();
            hasOutline = false;
        } else {
            return fail(lineNo, "unknown command '" + head + "'");
        }
    }
    if (region != nullptr) {
        if (!finishCommand()) {
            return false;
        }
        return fail(lineNo, "region '" + region->name + "' is missing its 'end'");
    }
    if (m_name.empty()) {
        return fail(lineNo, "no 'course <name>' line");
    }
    // An outline that ends where it started is closed even without 'close'.
    for (Region& r : m_regions) {
        Outline& o = r.outline;
        if (!o.closed && !o.segments.empty()) {
            const Point last = o.segments.back().end;
            o.closed = last.x == o.start.x && last.z == o.start.z;
        }
    }
    return true;
}

}  // namespace fairholm::coursec
