#include "tools/packgen/SceneryMaker.h"

#include <algorithm>
#include <cmath>

#include "tools/packgen/Canvas.h"
#include "tools/packgen/Noise.h"

namespace fairholm::packgen {

using namespace shapes;

bool SceneryMaker::make(const std::string& kind, Picture& out, std::string& error) const {
    if (out.width < 4 || out.height < 4) {
        error = kind + ": picture too small";
        return false;
    }
    out.label = kind;
    if (kind == "pin") {
        pin(out);
    } else if (kind == "tree") {
        tree(out);
    } else if (kind == "bag") {
        bag(out);
    } else if (kind == "ball") {
        ball(out);
    } else if (kind == "shadow") {
        shadow(out);
    } else {
        error = "unknown object " + kind;
        return false;
    }
    return true;
}

void SceneryMaker::pin(Picture& out) const {
    Canvas c(out.width, out.height);
    const double px = out.anchorX + 0.5;
    const double bottom = out.anchorY + 1.0;
    const double top = 1.5;
    // Flag: a red cloth waving off the top of the pole to the right.
    const double flagTop = top + 1.0;
    const double flagHeight = out.height * 0.26;
    const double flagRight = out.width - 1.5;
    std::vector<Point> cloth{{px, flagTop}};
    cubicTo(cloth, {px, flagTop}, {px + 8, flagTop - 2.5}, {flagRight - 10, flagTop + 3.5},
            {flagRight, flagTop + 1.0});
    cloth.push_back({flagRight - 1.5, flagTop + flagHeight * 0.5});
    cloth.push_back({flagRight, flagTop + flagHeight});
    cubicTo(cloth, {flagRight, flagTop + flagHeight}, {flagRight - 10, flagTop + flagHeight + 2.5},
            {px + 8, flagTop + flagHeight - 3.5}, {px, flagTop + flagHeight});
    const Mask flag = c.rasterize(polygon(cloth));
    const Colour red = m_palette.colour("flag.red");
    const Colour dark = m_palette.colour("flag.dark");
    const double span = flagRight - px;
    c.paint(flag, [&](double x, double) {
        // Folds: the cloth turns towards the light and away again.
        const double t = (x - px) / span;
        const double fold = std::sin(t * 6.28318 * 1.1 + 0.6);
        return fold > 0 ? red.mix(red.scaled(1.25), fold * 0.6) : red.mix(dark, -fold * 0.8);
    });
    // Pole: white, shaded on its left, with a dark ring every few yards of height.
    const Mask pole = c.rasterize(capsule({px, top}, 1.3, {px, bottom - 1.0}, 1.3));
    const Colour white = m_palette.colour("pole.white");
    const Colour shade = m_palette.colour("pole.shade");
    const Colour band = m_palette.colour("pole.band");
    c.paint(pole, [&](double x, double y) {
        const int segment = static_cast<int>((y - top) / ((bottom - top) / 6.0));
        const Colour base = segment % 2 == 1 ? band : white;
        return x < px ? base.mix(shade, 0.6) : base;
    });
    c.fill(circle(px, top, 1.6), m_palette.colour("pole.cap"));
    out.argb = c.argb();
}

void SceneryMaker::tree(Picture& out) const {
    Canvas c(out.width, out.height);
    const double w = out.width;
    const double h = out.height;
    const double foot = out.anchorY + 1.0;
    const double tx = out.anchorX + 0.5;
    const Colour barkDark = m_palette.colour("bark.dark");
    const Colour barkLight = m_palette.colour("bark.light");
    const Colour leafDeep = m_palette.colour("leaf.deep");
    const Colour leafDark = m_palette.colour("leaf.dark");
    const Colour leafMid = m_palette.colour("leaf.mid");
    const Colour leafLight = m_palette.colour("leaf.light");

    // A soft patch of shade on the ground round the foot, thrown back and to the left.
    c.fill(ellipse(tx - w * 0.12, foot - 4.0, w * 0.3, 3.5), m_palette.colour("shadow"), 0.3);

    // Crown: an irregular cloud of leaf clusters above the trunk.
    const double cx = w * 0.5;
    const double cy = h * 0.38;
    const double rx = w * 0.46;
    const double ry = h * 0.36;
    struct Cluster {
        double x, y, r;
        double light;
    };
    std::vector<Cluster> clusters;
    Noise rng(9);
    while (clusters.size() < 170) {
        const double a = rng.range(0.0, 6.28318);
        const double d = std::sqrt(rng.next());
        const double x = cx + std::cos(a) * d * rx;
        const double y = cy + std::sin(a) * d * ry;
        const double r = rng.range(w * 0.05, w * 0.09) * (1.2 - 0.4 * d);
        // Lit from the upper right; the underside and the left stay in shade.
        const double facing = ((x - cx) / rx) * 0.6 - ((y - cy) / ry) * 0.7;
        clusters.push_back({x, y, r, std::clamp(0.45 + facing * 0.5 + rng.range(-0.12, 0.12), 0.0, 1.0)});
    }
    std::sort(clusters.begin(), clusters.end(),
              [](const Cluster& a, const Cluster& b) { return a.light < b.light; });

    // Trunk and the main limbs, drawn before the foliage that hides their ends.
    auto limb = [&](Point a, double ra, Point b, double rb) {
        const Mask m = c.rasterize(capsule(a, ra, b, rb));
        c.paint(m, [&](double x, double) {
            const double t =
                std::clamp((x - std::min(a.x, b.x) + ra) / (std::fabs(b.x - a.x) + 2 * ra), 0.0, 1.0);
            return barkDark.mix(barkLight, t);
        });
    };
    const Point fork{tx + 2, foot - h * 0.4};
    // Root flare: a wider foot where the trunk meets the ground.
    c.paint(c.rasterize(polygon({{tx - w * 0.085, foot},
                                 {tx - w * 0.05, foot - h * 0.06},
                                 {tx + w * 0.05, foot - h * 0.06},
                                 {tx + w * 0.08, foot}})),
            [&](double x, double) {
                return barkDark.mix(barkLight, std::clamp((x - tx) / (w * 0.16) + 0.5, 0.0, 1.0));
            });
    limb({tx, foot - 2}, w * 0.055, fork, w * 0.04);
    limb(fork, w * 0.035, {cx - rx * 0.45, cy + ry * 0.05}, w * 0.015);
    limb(fork, w * 0.035, {cx + rx * 0.5, cy - ry * 0.1}, w * 0.015);
    limb(fork, w * 0.03, {cx + rx * 0.05, cy - ry * 0.55}, w * 0.014);

    // The crown's body: every cluster a little larger in the deepest green, so that the
    // gaps between lit clusters read as shade rather than holes.
    Shape body;
    for (const Cluster& k : clusters) {
        if (k.y < cy + ry * 0.55) {
            Shape s = circle(k.x - 1.5, k.y + 1.5, k.r * 1.05);
            body.insert(body.end(), s.begin(), s.end());
        }
    }
    c.fill(body, leafDeep);
    for (const Cluster& k : clusters) {
        const Colour base = k.light < 0.5 ? leafDark.mix(leafMid, k.light * 2.0)
                                          : leafMid.mix(leafLight, (k.light - 0.5) * 2.0);
        const Mask m = c.rasterize(circle(k.x, k.y, k.r * 0.85));
        c.paint(m, base.scaled(0.85));
        // The cluster's own lit cap on its upper right.
        const Mask cap = c.rasterize(circle(k.x + k.r * 0.25, k.y - k.r * 0.25, k.r * 0.55)).intersect(m);
        c.paint(cap, base.mix(leafLight, 0.35 * k.light));
    }
    // Single leaves over the clusters break up their round outlines: lit ones towards
    // the upper right, dark ones in the shade.
    const Mask crown = c.alphaMask();
    for (int i = 0; i < 900; ++i) {
        const double x = rng.range(0.0, w);
        const double y = rng.range(0.0, foot - h * 0.3);
        if (crown.at(static_cast<int>(x), static_cast<int>(y)) < 0.99) {
            continue;
        }
        const double facing = ((x - cx) / rx) * 0.6 - ((y - cy) / ry) * 0.7;
        const double light = std::clamp(0.45 + facing * 0.5 + rng.range(-0.3, 0.3), 0.0, 1.0);
        const Colour leaf =
            light < 0.5 ? leafDeep.mix(leafMid, light * 2.0) : leafMid.mix(leafLight, (light - 0.5) * 2.0);
        c.fill(ellipse(x, y, rng.range(1.0, 2.2), rng.range(0.7, 1.4), rng.range(0.0, 3.14)), leaf, 0.9);
    }
    out.argb = c.argb();
}

void SceneryMaker::bag(Picture& out) const {
    Canvas c(out.width, out.height);
    const double w = out.width;
    const double h = out.height;
    const double foot = out.anchorY + 1.0;
    const double bx = out.anchorX + 0.5;
    const Colour body = m_palette.colour("bag.body");
    const Colour trim = m_palette.colour("bag.trim");
    const Colour metal = m_palette.colour("club.shaft");
    const Colour grip = m_palette.colour("club.grip");
    // The bag leans back on its stand: its base at the hot spot, its mouth up and to
    // the left.
    const Point base{bx + 1.0, foot - 3.0};
    const Point top{bx - w * 0.16, foot - h * 0.74};
    const double r = w * 0.17;
    const double ax = base.x - top.x;
    const double ay = base.y - top.y;
    const double len = std::sqrt(ax * ax + ay * ay);
    const Point along{ax / len, ay / len};
    const Point across{-along.y, along.x};
    auto onAxis = [&](double t, double side) {
        return Point{top.x + ax * t + across.x * r * side, top.y + ay * t + across.y * r * side};
    };
    // Shade on the ground under the bag, back and to the left.
    c.fill(ellipse(bx - w * 0.12, foot - 2.0, w * 0.3, 1.8), m_palette.colour("shadow"), 0.3);
    // Stand legs behind the bag, out to the right.
    c.fill(stroke({onAxis(0.2, -0.2), {bx + w * 0.36, foot - 1.0}}, 1.3), metal.scaled(0.75));
    c.fill(stroke({onAxis(0.2, 0.2), {bx + w * 0.26, foot - 0.5}}, 1.3), metal.scaled(0.6));
    // Clubs standing in the bag, with covers on the woods.
    const Colour covers[3] = {m_palette.colour("bag.cover1"), m_palette.colour("bag.cover2"),
                              m_palette.colour("bag.cover3")};
    for (int i = 0; i < 3; ++i) {
        const Point foot3 = onAxis(0.05, (i - 1) * 0.55);
        const Point head{foot3.x - along.x * h * 0.16 - 1.0 + i * 0.6,
                         foot3.y - along.y * h * 0.16 - (i == 1 ? 1.5 : 0)};
        c.fill(stroke({foot3, head}, 1.6), grip);
        c.fill(ellipse(head.x, head.y, r * 0.62, r * 0.5, -0.5), covers[i]);
        c.fill(ellipse(head.x + r * 0.15, head.y - r * 0.15, r * 0.3, r * 0.22, -0.5), covers[i].scaled(1.2));
    }
    // Body: a cylinder lit from the right.
    const Mask m = c.rasterize(capsule(top, r, base, r * 0.95));
    auto across01 = [&](double x, double y) {
        const double dx = x - top.x;
        const double dy = y - top.y;
        return std::clamp((dx * across.x + dy * across.y) / r, -1.0, 1.0);
    };
    c.paint(m, [&](double x, double y) { return body.scaled(0.75 + 0.4 * (across01(x, y) * 0.5 + 0.5)); });
    // White bands: the collar round the mouth and one near the base.
    auto band = [&](double t0, double t1) {
        const Mask strip =
            c.rasterize(polygon({onAxis(t0, -1.3), onAxis(t0, 1.3), onAxis(t1, 1.3), onAxis(t1, -1.3)}));
        c.paint(strip.intersect(m),
                [&](double x, double y) { return trim.scaled(0.8 + 0.25 * (across01(x, y) * 0.5 + 0.5)); });
    };
    band(-0.2, 0.12);
    band(0.80, 0.88);
    // The mouth: a dark opening at the top.
    const Point mouth = onAxis(-0.02, 0.0);
    c.fill(ellipse(mouth.x, mouth.y, r * 0.6, r * 0.25, std::atan2(across.y, across.x)), body.scaled(0.35));
    // Pocket on the lit side and the carrying strap on the shaded side.
    const Point pocket = onAxis(0.52, 0.45);
    c.fill(ellipse(pocket.x, pocket.y, r * 0.45, h * 0.13, std::atan2(along.y, along.x) - 1.5708),
           body.scaled(1.25));
    std::vector<Point> strap{onAxis(0.25, -1.0)};
    cubicTo(strap, onAxis(0.25, -1.0), onAxis(0.35, -2.0), onAxis(0.6, -2.0), onAxis(0.7, -1.0), 10);
    c.fill(stroke(strap, 1.2), trim.scaled(0.7));
    out.argb = c.argb();
}

void SceneryMaker::ball(Picture& out) const {
    Canvas c(out.width, out.height);
    const double r = std::min(out.width, out.height) * 0.45;
    const double cx = out.width * 0.5;
    const double cy = out.anchorY + 1.0 - r;
    const Colour white = m_palette.colour("ball.white");
    const Colour shade = m_palette.colour("ball.shade");
    c.paint(c.rasterize(circle(cx, cy, r)), [&](double x, double y) {
        // A sphere lit from the upper right.
        const double lx = (x - cx) / r;
        const double ly = (y - cy) / r;
        const double t = std::clamp(0.55 + 0.45 * (lx * 0.6 - ly * 0.6), 0.0, 1.0);
        return shade.mix(white, t);
    });
    out.argb = c.argb();
}

void SceneryMaker::shadow(Picture& out) const {
    Canvas c(out.width, out.height);
    const double cx = out.anchorX + 0.5;
    const double cy = out.anchorY + 0.5;
    c.fill(ellipse(cx, cy, out.width * 0.46, out.height * 0.22), m_palette.colour("shadow"));
    out.argb = c.argb();
}

}  // namespace fairholm::packgen
