#include "tools/coursec/CourseCompiler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "tools/formats/SwfWriter.h"

namespace fairholm::coursec {

namespace {

struct Box {
    double x0, z0, x1, z1;
};

Box boxOf(const std::vector<Point>& p) {
    Box b{p[0].x, p[0].z, p[0].x, p[0].z};
    for (const Point& q : p) {
        b.x0 = std::min(b.x0, q.x);
        b.z0 = std::min(b.z0, q.z);
        b.x1 = std::max(b.x1, q.x);
        b.z1 = std::max(b.z1, q.z);
    }
    return b;
}

bool boxesNear(const Box& a, const Box& b, double margin) {
    return a.x0 - margin <= b.x1 && b.x0 - margin <= a.x1 && a.z0 - margin <= b.z1 && b.z0 - margin <= a.z1;
}

double cross(Point o, Point a, Point b) {
    return (a.x - o.x) * (b.z - o.z) - (a.z - o.z) * (b.x - o.x);
}

bool segmentsCross(Point a, Point b, Point c, Point d) {
    const double d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c), d4 = cross(a, b, d);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

double pointSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dz = b.z - a.z;
    const double len2 = dx * dx + dz * dz;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.z - a.z) * dz) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.z - (a.z + t * dz));
}

double segmentDistance(Point a, Point b, Point c, Point d) {
    if (segmentsCross(a, b, c, d)) {
        return 0;
    }
    return std::min(
        {pointSegment(a, c, d), pointSegment(b, c, d), pointSegment(c, a, b), pointSegment(d, a, b)});
}

// The closest approach of two outlines, and where it happens; a large value when they
// stay further apart than `margin`.
double outlineDistance(const std::vector<Point>& p, const std::vector<Point>& q, double margin,
                       Point& where) {
    double best = 1e9;
    const size_t n = p.size(), m = q.size();
    const Box bq = boxOf(q);
    for (size_t i = 0; i < n; ++i) {
        const Point a = p[i], b = p[(i + 1) % n];
        const Box sa{std::min(a.x, b.x), std::min(a.z, b.z), std::max(a.x, b.x), std::max(a.z, b.z)};
        if (!boxesNear(sa, bq, margin)) {
            continue;
        }
        for (size_t j = 0; j < m; ++j) {
            const Point c = q[j], d = q[(j + 1) % m];
            const Box sc{std::min(c.x, d.x), std::min(c.z, d.z), std::max(c.x, d.x), std::max(c.z, d.z)};
            if (!boxesNear(sa, sc, margin)) {
                continue;
            }
            const double dist = segmentDistance(a, b, c, d);
            if (dist < best) {
                best = dist;
                where = a;
            }
        }
    }
    return best;
}

bool inside(Point p, const std::vector<Point>& poly) {
    bool in = false;
    const size_t n = poly.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point a = poly[i], b = poly[j];
        if ((a.z > p.z) != (b.z > p.z) && p.x < (b.x - a.x) * (p.z - a.z) / (b.z - a.z) + a.x) {
            in = !in;
        }
    }
    return in;
}

double signedArea(const std::vector<Point>& p) {
    double area = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const Point a = p[i], b = p[(i + 1) % p.size()];
        area += a.x * b.z - b.x * a.z;
    }
    return area / 2;
}

std::string describe(const Region& r) {
    return "region '" + r.name + "' (line " + std::to_string(r.line) + ")";
}

std::string at(Point p) {
    char text[64];
    std::snprintf(text, sizeof text, " near (%.1f, %.1f)", p.x, p.z);
    return text;
}

int32_t twips(double v, int32_t limit) {
    return std::clamp(static_cast<int32_t>(std::lround(v * CourseCompiler::twipsPerYard)), 0, limit);
}

}  // namespace

uint32_t CourseCompiler::colourOf(int kind, int level) {
    const uint32_t h = static_cast<uint32_t>(level) & 0xFF;
    switch (kind) {
        case Rough:
            return h << 16;
        case Fairway:
            return h << 8;
        case Water:
            return h;
        case Green:
            return 0x008000 | h;
        case TeeBox:
            return 0x800000 | h;
        case Bunker:
            return h << 16 | 0x008000;
        default:
            return 0x606000 | h;
    }
}

bool CourseCompiler::check(std::string& errors) {
    errors.clear();
    auto problem = [&](const std::string& text) { errors += text + "\n"; };
    const std::vector<Region>& regions = m_source.regions();

    m_polygons.clear();
    for (const Region& r : regions) {
        m_polygons.push_back(r.outline.flatten());
    }

    std::vector<bool> usable(regions.size(), true);
    for (size_t i = 0; i < regions.size(); ++i) {
        const Region& r = regions[i];
        const std::vector<Point>& poly = m_polygons[i];
        if (!r.outline.closed) {
            problem(describe(r) + ": the outline is open (end it where it starts, or with 'close')");
            usable[i] = false;
            continue;
        }
        if (poly.size() < 3 || std::fabs(signedArea(poly)) < 1) {
            problem(describe(r) + ": the outline encloses no area");
            usable[i] = false;
            continue;
        }
        for (const Point& p : poly) {
            if (p.x < 0 || p.z < 0 || p.x > CourseSource::mapSize || p.z > CourseSource::mapSize) {
                problem(describe(r) + ": the outline leaves the 512 x 512 map" + at(p));
                usable[i] = false;
                break;
            }
        }
        const size_t n = poly.size();
        bool crossed = false;
        for (size_t a = 0; a < n && !crossed; ++a) {
            for (size_t b = a + 2; b < n && !crossed; ++b) {
                if (a == 0 && b == n - 1) {
                    continue;
                }
                if (segmentsCross(poly[a], poly[(a + 1) % n], poly[b], poly[(b + 1) % n])) {
                    problem(describe(r) + ": the outline crosses itself" + at(poly[a]));
                    crossed = true;
                    usable[i] = false;
                }
            }
        }
    }

    // Nesting: children inside their parents, siblings apart.
    for (size_t i = 0; i < regions.size(); ++i) {
        if (!usable[i]) {
            continue;
        }
        const Region& r = regions[i];
        Point where;
        if (r.parent >= 0 && usable[r.parent]) {
            const Region& p = regions[r.parent];
            const double d = outlineDistance(m_polygons[i], m_polygons[r.parent], clearance, where);
            if (d < clearance || !inside(m_polygons[i][0], m_polygons[r.parent])) {
                problem(describe(r) + " is not inside its parent " + describe(p) +
                        (d < clearance
                             ? " (the outlines come within " + std::to_string(clearance).substr(0, 3) +
                                   " yard" + at(where) + ")"
                             : ""));
            }
        }
        for (size_t j = i + 1; j < regions.size(); ++j) {
            if (!usable[j] || regions[j].parent != r.parent) {
                continue;
            }
            const Region& s = regions[j];
            const double d = outlineDistance(m_polygons[i], m_polygons[j], clearance, where);
            if (d < clearance) {
                problem(describe(r) + " overlaps or touches " + describe(s) + at(where) +
                        " (siblings must stay 1 yard apart)");
            } else if (inside(m_polygons[i][0], m_polygons[j]) || inside(m_polygons[j][0], m_polygons[i])) {
                problem(describe(r) + " overlaps " + describe(s) +
                        " (one lies inside the other; nest it with 'in')");
            }
        }
    }

    // Colours: one per kind and level, in order of first use.
    m_colours.clear();
    m_regionFill.clear();
    std::vector<std::string> over;
    for (const Region& r : regions) {
        const uint32_t colour = colourOf(r.kind, r.level);
        auto found = std::find(m_colours.begin(), m_colours.end(), colour);
        if (found == m_colours.end()) {
            m_colours.push_back(colour);
            if (m_colours.size() > static_cast<size_t>(maxColours)) {
                over.push_back("'" + r.name + "' (" + CourseSource::kindName(r.kind) + " " +
                               std::to_string(r.level) + ")");
            }
            found = m_colours.end() - 1;
        }
        m_regionFill.push_back(static_cast<int>(found - m_colours.begin()) + 1);
    }
    if (!over.empty()) {
        std::string names;
        for (const std::string& n : over) {
            names += (names.empty() ? "" : ", ") + n;
        }
        problem("too many colours: " + std::to_string(m_colours.size()) + " of " +
                std::to_string(maxColours) +
                " (every kind and level is one colour); beyond the limit: " + names);
    }
    return errors.empty();
}

std::vector<uint8_t> CourseCompiler::build() const {
    SwfWriter swf(frameTwips, frameTwips);
    swf.beginShape(1);
    for (uint32_t colour : m_colours) {
        swf.addSolidFill(colour);
    }
    const std::vector<Region>& regions = m_source.regions();
    for (size_t i = 0; i < regions.size(); ++i) {
        const Region& r = regions[i];
        const int in = m_regionFill[i];
        const int out = r.parent >= 0 ? m_regionFill[r.parent] : 0;
        // x stops at 8191 twips: the loader's crossings hold at most 511 15/16 pixels.
        const int32_t sx = twips(r.outline.start.x, frameTwips - 1);
        const int32_t sz = twips(r.outline.start.z, frameTwips);
        swf.moveTo(sx, sz);
        // Clockwise on screen (positive area, z down): the inside is left of the
        // downward edges, which is where fill1 lies.
        if (signedArea(m_polygons[i]) > 0) {
            swf.setFills(out, in);
        } else {
            swf.setFills(in, out);
        }
        for (size_t k = 0; k < r.outline.segments.size(); ++k) {
            const Segment& s = r.outline.segments[k];
            const bool last = k + 1 == r.outline.segments.size();
            const int32_t ex = last ? sx : twips(s.end.x, frameTwips - 1);
            const int32_t ez = last ? sz : twips(s.end.z, frameTwips);
            if (s.curved) {
                swf.curveTo(twips(s.control.x, frameTwips - 1), twips(s.control.z, frameTwips), ex, ez);
            } else {
                swf.lineTo(ex, ez);
            }
        }
    }
    swf.endShape();
    return swf.finish();
}

}  // namespace fairholm::coursec
