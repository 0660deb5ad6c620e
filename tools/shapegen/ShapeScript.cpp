#include "tools/shapegen/ShapeScript.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "tools/formats/SwfWriter.h"

namespace fairholm::shapegen {

namespace {

constexpr double kMaxPixels = 4096.0;  // well inside the SWF and renderer ranges

bool number(const std::string& text, double& value) {
    if (text.empty() || text.size() > 24) {
        return false;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '+') {
            return false;
        }
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && errno == 0 && std::isfinite(value);
}

bool colour(const std::string& text, std::uint32_t& value) {
    if (text.size() != 6 && text.size() != 8) {
        return false;
    }
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    value = static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
    if (text.size() == 6) {
        value |= 0xFF000000u;  // opaque unless an alpha is given
    }
    return true;
}

std::int32_t twips(double pixels) {
    return static_cast<std::int32_t>(std::lround(pixels * 20.0));
}

}  // namespace

bool ShapeScript::parse(std::string_view text, std::string& error) {
    m_width = m_height = 0;
    m_shapes.clear();
    std::uint32_t fill = 0;
    bool haveFill = false;
    std::istringstream lines{std::string(text)};
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        const std::string at = "line " + std::to_string(lineNumber) + ": ";
        const std::size_t hash = line.find('#');
        std::istringstream words(line.substr(0, hash));
        std::string key;
        if (!(words >> key)) {
            continue;
        }
        std::vector<std::string> args;
        for (std::string w; words >> w;) {
            args.push_back(w);
        }
        if (key == "frame") {
            double w = 0.0;
            double h = 0.0;
            if (m_width != 0 || args.size() != 2 || !number(args[0], w) || !number(args[1], h) || w < 1.0 ||
                h < 1.0 || w > kMaxPixels || h > kMaxPixels) {
                error = at + "expected one 'frame <width> <height>' of 1 to 4096 pixels";
                return false;
            }
            m_width = twips(w);
            m_height = twips(h);
        } else if (m_width == 0) {
            error = at + "'frame' must come first";
            return false;
        } else if (key == "shape") {
            if (args.size() != 1 || (args[0] != "1" && args[0] != "2" && args[0] != "3")) {
                error = at + "expected 'shape 1', 'shape 2' or 'shape 3'";
                return false;
            }
            m_shapes.push_back(Shape{args[0][0] - '0', {}});
            haveFill = false;
        } else if (m_shapes.empty()) {
            error = at + "'" + key + "' outside a shape";
            return false;
        } else if (key == "fill") {
            if (args.size() != 1 || !colour(args[0], fill)) {
                error = at + "expected 'fill RRGGBB' or 'fill AARRGGBB'";
                return false;
            }
            haveFill = true;
        } else if (key == "polygon") {
            if (!haveFill) {
                error = at + "a polygon needs a 'fill' before it";
                return false;
            }
            if (args.size() < 3 || args.size() > 1000) {
                error = at + "a polygon has 3 to 1000 points";
                return false;
            }
            Polygon polygon;
            polygon.colour = fill;
            for (const std::string& point : args) {
                const std::size_t comma = point.find(',');
                double x = 0.0;
                double y = 0.0;
                if (comma == std::string::npos || !number(point.substr(0, comma), x) ||
                    !number(point.substr(comma + 1), y) || std::abs(x) > kMaxPixels ||
                    std::abs(y) > kMaxPixels) {
                    error = at + "'" + point + "' is not a point x,y";
                    return false;
                }
                polygon.points.emplace_back(twips(x), twips(y));
            }
            m_shapes.back().polygons.push_back(std::move(polygon));
        } else {
            error = at + "unknown key '" + key + "'";
            return false;
        }
    }
    if (m_width == 0) {
        error = "no 'frame'";
        return false;
    }
    return true;
}

std::vector<std::uint8_t> ShapeScript::build() const {
    SwfWriter writer(m_width, m_height);
    for (const Shape& shape : m_shapes) {
        writer.beginShape(shape.form);
        // One solid fill style per distinct colour, declared before the outlines.
        std::vector<std::uint32_t> colours;
        std::vector<int> polygonStyles;
        for (const Polygon& polygon : shape.polygons) {
            std::size_t i = 0;
            while (i < colours.size() && colours[i] != polygon.colour) {
                ++i;
            }
            if (i == colours.size()) {
                colours.push_back(polygon.colour);
                writer.addSolidFill(polygon.colour);
            }
            polygonStyles.push_back(static_cast<int>(i) + 1);
        }
        for (std::size_t k = 0; k < shape.polygons.size(); ++k) {
            std::vector<SwfWriter::Point> points;
            for (const auto& [x, y] : shape.polygons[k].points) {
                points.push_back({x, y});
            }
            writer.addPolygon(polygonStyles[k], points);
        }
        writer.endShape();
    }
    return writer.finish();
}

}  // namespace fairholm::shapegen
