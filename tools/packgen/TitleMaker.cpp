#include "tools/packgen/TitleMaker.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

namespace fairholm::packgen {

using namespace shapes;

namespace {

// Collects one glyph's contours, flattening its curves.
struct OutlineSink {
    Shape* shape;
    double x0, y0, scale;
    Point last;

    Point map(const FT_Vector* v) const { return {x0 + v->x * scale, y0 - v->y * scale}; }

    static int moveTo(const FT_Vector* to, void* user) {
        auto* s = static_cast<OutlineSink*>(user);
        s->shape->push_back({});
        s->last = s->map(to);
        s->shape->back().push_back(s->last);
        return 0;
    }
    static int lineTo(const FT_Vector* to, void* user) {
        auto* s = static_cast<OutlineSink*>(user);
        s->last = s->map(to);
        s->shape->back().push_back(s->last);
        return 0;
    }
    static int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
        auto* s = static_cast<OutlineSink*>(user);
        const Point c = s->map(control);
        const Point e = s->map(to);
        const Point p0 = s->last;
        // A quadratic as a cubic.
        const Point c1{p0.x + (c.x - p0.x) * 2.0 / 3.0, p0.y + (c.y - p0.y) * 2.0 / 3.0};
        const Point c2{e.x + (c.x - e.x) * 2.0 / 3.0, e.y + (c.y - e.y) * 2.0 / 3.0};
        cubicTo(s->shape->back(), p0, c1, c2, e, 8);
        s->last = e;
        return 0;
    }
    static int cubicTo_(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        auto* s = static_cast<OutlineSink*>(user);
        const Point e = s->map(to);
        cubicTo(s->shape->back(), s->last, s->map(c1), s->map(c2), e, 8);
        s->last = e;
        return 0;
    }
};

}  // namespace

bool TitleMaker::outline(const std::string& fontPath, const std::string& text, double x, double baseline,
                         double height, Shape& out, double& advance, std::string& error) {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        error = "cannot start FreeType";
        return false;
    }
    bool ok = FT_New_Face(library, fontPath.c_str(), 0, &face) == 0;
    if (!ok) {
        error = "cannot read the font " + fontPath;
    }
    if (ok) {
        FT_Set_Char_Size(face, 0, 64 * 64, 72, 72);
        // Scale from font units (26.6 at 64 px) so that a capital "H" is `height` tall.
        double scale = 1.0;
        if (FT_Load_Char(face, 'H', FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) == 0) {
            FT_BBox box;
            FT_Outline_Get_CBox(&face->glyph->outline, &box);
            scale = box.yMax > 0 ? height / static_cast<double>(box.yMax) : 1.0;
        }
        FT_Outline_Funcs funcs{};
        funcs.move_to = &OutlineSink::moveTo;
        funcs.line_to = &OutlineSink::lineTo;
        funcs.conic_to = &OutlineSink::conicTo;
        funcs.cubic_to = &OutlineSink::cubicTo_;
        double pen = x;
        FT_UInt previous = 0;
        for (char ch : text) {
            const FT_UInt index = FT_Get_Char_Index(face, static_cast<unsigned char>(ch));
            if (FT_HAS_KERNING(face) && previous != 0) {
                FT_Vector kern;
                FT_Get_Kerning(face, previous, index, FT_KERNING_UNSCALED, &kern);
                pen += kern.x * scale;
            }
            if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0) {
                error = "cannot load a glyph";
                ok = false;
                break;
            }
            OutlineSink sink{&out, pen, baseline, scale, {}};
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
            pen += face->glyph->advance.x * scale;
            previous = index;
        }
        advance = pen - x;
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return ok;
}

bool TitleMaker::make(const std::string& text, Picture& out, std::string& error) const {
    out.label = "title";
    const double w = out.width;
    const double h = out.height;
    Canvas c(out.width, out.height);

    // Measure the name once, then set it centred and as large as the width allows.
    Shape probe;
    double advance = 0.0;
    if (!outline(m_fontPath, text, 0.0, 0.0, 10.0, probe, advance, error)) {
        return false;
    }
    const double capHeight = std::min(h * 0.42, 10.0 * (w - 30.0) / advance);
    const double textWidth = advance * capHeight / 10.0;
    const double baseline = h * 0.70;
    const double left = (w - textWidth) / 2.0 - 6.0;
    Shape letters;
    if (!outline(m_fontPath, text, left, baseline, capHeight, letters, advance, error)) {
        return false;
    }

    // The putting green the name stands on, with a darker fringe and a lit rim.
    const Colour fringe = m_palette.colour("tee.base");
    const Colour green = m_palette.colour("green.base");
    const Colour greenLight = m_palette.colour("green.light");
    const double gy = h * 0.80;
    c.fill(ellipse(w / 2 - 1.5, gy + 2.0, w * 0.47, h * 0.16), m_palette.colour("title.shadow"), 0.5);
    c.fill(ellipse(w / 2, gy, w * 0.47, h * 0.16), fringe.scaled(0.85));
    const Mask surface = c.rasterize(ellipse(w / 2 + 1.0, gy - 0.5, w * 0.44, h * 0.13));
    c.paint(surface, [&](double x, double y) {
        const double t = std::clamp(0.5 + (x - w / 2) / w - (y - gy) / (h * 0.3), 0.0, 1.0);
        return green.mix(greenLight, t);
    });

    // Flag on the right of the green, leaning nothing: the logo's pin.
    const double px = w - 14.0;
    const double poleTop = 3.0;
    const double poleFoot = gy + 1.0;
    c.fill(ellipse(px, poleFoot, 3.0, 1.2), m_palette.colour("title.shadow"), 0.8);  // the cup
    c.fill(capsule({px, poleTop}, 0.9, {px, poleFoot}, 0.9), m_palette.colour("pole.white"));
    std::vector<Point> cloth{{px + 0.5, poleTop}};
    cubicTo(cloth, {px + 0.5, poleTop}, {px + 5, poleTop - 1.5}, {px + 8, poleTop + 2.5},
            {px + 12.5, poleTop + 1.0});
    cloth.push_back({px + 11.5, poleTop + 5.0});
    cloth.push_back({px + 12.5, poleTop + 9.0});
    cubicTo(cloth, {px + 12.5, poleTop + 9.0}, {px + 8, poleTop + 10.5}, {px + 5, poleTop + 6.5},
            {px + 0.5, poleTop + 8.0});
    const Colour red = m_palette.colour("flag.red");
    c.paint(c.rasterize(polygon(cloth)), [&](double x, double) {
        const double fold = std::sin((x - px) / 12.5 * 6.28318 + 0.6);
        return fold > 0 ? red.mix(red.scaled(1.25), fold * 0.5)
                        : red.mix(m_palette.colour("flag.dark"), -fold * 0.7);
    });

    const Mask glyphs = c.rasterize(letters);
    const Mask outlineMask = glyphs.dilated(1.6);

    // The dotted flight of a ball from the left of the name over to the flag, kept
    // clear of the letters.
    const Colour white = m_palette.colour("ball.white");
    const Point start{left + 4.0, baseline - capHeight - 2.0};
    const Point end{px - 5.0, gy - 3.0};
    const int dots = 13;
    for (int i = 1; i < dots; ++i) {
        const double t = static_cast<double>(i) / dots;
        const double x = start.x + (end.x - start.x) * t;
        const double y =
            start.y + (end.y - start.y) * t - std::sin(t * 3.14159) * (baseline - capHeight - 1.0) * 1.2;
        if (y < 1.5 || outlineMask.dilated(1.0).at(static_cast<int>(x), static_cast<int>(y)) > 0.0) {
            continue;
        }
        c.fill(circle(x, y, 0.95), white, 0.95);
    }

    // The name: a soft shadow down and to the left, a dark green outline, then the
    // letters in a cream-to-white gradient with a lit upper edge.
    c.paint(outlineMask.shifted(-2, 2), m_palette.colour("title.shadow"), 0.55);
    c.paint(outlineMask, m_palette.colour("title.outline"));
    const Colour top = m_palette.colour("title.face");
    const Colour bottom = m_palette.colour("title.faceLow");
    c.paint(glyphs, [&](double, double y) {
        const double t = std::clamp((y - (baseline - capHeight)) / capHeight, 0.0, 1.0);
        return top.mix(bottom, t);
    });
    // Ball resting on the green beside the cup.
    const Point ballAt{px - 6.0, gy - 1.5};
    c.fill(circle(ballAt.x - 0.8, ballAt.y + 1.2, 2.2), m_palette.colour("title.shadow"), 0.5);
    c.paint(c.rasterize(circle(ballAt.x, ballAt.y, 2.2)), [&](double x, double y) {
        const double t = std::clamp(0.6 + (x - ballAt.x) * 0.2 - (y - ballAt.y) * 0.2, 0.0, 1.0);
        return m_palette.colour("ball.shade").mix(white, t);
    });
    out.argb = c.argb();
    return true;
}

}  // namespace fairholm::packgen
