#include "tools/packgen/GolferMaker.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace fairholm::packgen {

using namespace shapes;

namespace {

constexpr double pi = 3.14159265358979323846;

double rad(double degrees) {
    return degrees * pi / 180.0;
}

struct Vec {
    double x = 0, y = 0, z = 0;
    Vec operator+(const Vec& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec operator-(const Vec& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec operator*(double s) const { return {x * s, y * s, z * s}; }
    double dot(const Vec& o) const { return x * o.x + y * o.y + z * o.z; }
    double length() const { return std::sqrt(dot(*this)); }
    Vec unit() const {
        const double l = length();
        return l > 1e-12 ? *this * (1.0 / l) : Vec{0, 1, 0};
    }
};

// The middle joint of a two-bone limb from `root` towards `target`, bending towards
// `pole`. `end` gets where the limb's far end lands (the target when in reach).
Vec bend(const Vec& root, const Vec& target, double a, double b, const Vec& pole, Vec& end) {
    const Vec span = target - root;
    const Vec u = span.unit();
    const double d = std::clamp(span.length(), std::fabs(a - b) + 1e-6, a + b - 1e-6);
    end = root + u * d;
    const double along = (a * a - b * b + d * d) / (2.0 * d);
    const double off = std::sqrt(std::max(0.0, a * a - along * along));
    const Vec side = (pole - u * pole.dot(u)).unit();
    return root + u * along + side * off;
}

struct Pose {
    std::map<std::string, double> v;
    double operator[](const std::string& key) const {
        const auto it = v.find(key);
        return it == v.end() ? 0.0 : it->second;
    }
};

// Joint positions of one pose.
struct Body {
    Vec pelvis, hipLead, hipTrail, kneeLead, kneeTrail, ankleLead, ankleTrail, toeLead, toeTrail;
    Vec spine, neck, shoulderCentre, shoulderLead, shoulderTrail, head, face;
    Vec hands, trailHand, elbowLead, elbowTrail, wristLead, wristTrail, gripEnd, clubHead;
    double hipsTurn = 0;
};

struct Figure {
    std::map<std::string, double> build;
    double s = 1.0;
    double get(const std::string& key) const {
        const auto it = build.find(key);
        return it == build.end() ? 0.0 : it->second;
    }
    double len(const std::string& key) const { return get(key) * s; }
};

constexpr double ankleX = -0.60;
const Vec ball{0.0, 0.021, 0.0};
// Where the club head rests: just short of the ball, so that the ball shows beside it.
const Vec clubRest{-0.07, 0.03, 0.0};

Body pose(const Figure& f, const Pose& p, const Vec& planeDown, double clubLength) {
    Body b;
    const double w = p["width"] / 2.0;
    // Feet: the lead foot turned out a little towards the target, the trail foot
    // rolling up onto its toe through the finish.
    const double ankleY = 0.075 * f.s;
    b.ankleLead = {ankleX, ankleY, w};
    b.toeLead = b.ankleLead + Vec{std::cos(rad(20)), -0.06 / 0.16, std::sin(rad(20))} * 0.16 * f.s;
    const Vec toe = Vec{ankleX, ankleY, -w} + Vec{0.16, -0.06, 0.0} * f.s;
    const double heel = rad(p["heel"]);
    b.ankleTrail =
        toe + Vec{-0.16 * std::cos(heel) + 0.0, 0.06 + 0.16 * std::sin(heel), 0.05 * std::sin(heel)} * f.s;
    b.toeTrail = toe;

    b.hipsTurn = rad(p["hips"]);
    b.pelvis = {ankleX + (p["hipx"] - ankleX) * f.s, p["hipy"] * f.s, p["sway"]};
    const Vec hipSide{std::sin(b.hipsTurn), 0.0, std::cos(b.hipsTurn)};
    const Vec facing{std::cos(b.hipsTurn), 0.0, -std::sin(b.hipsTurn)};
    b.hipLead = b.pelvis + hipSide * f.len("pelvis");
    b.hipTrail = b.pelvis - hipSide * f.len("pelvis");
    Vec end;
    b.kneeLead = bend(b.hipLead, b.ankleLead, f.len("thigh"), f.len("shin"), facing + Vec{0, 0, 0.25}, end);
    b.ankleLead = end;
    b.kneeTrail = bend(b.hipTrail, b.ankleTrail, f.len("thigh"), f.len("shin"), facing + Vec{0, 0, 0.1}, end);
    b.ankleTrail = end;

    const double tilt = rad(p["tilt"]);
    b.spine = Vec{std::sin(tilt), std::cos(tilt), std::sin(rad(p["side"]))}.unit();
    b.neck = b.pelvis + b.spine * f.len("spine");
    const double turn = rad(p["shoulders"]);
    const Vec level{std::sin(turn), 0.0, std::cos(turn)};
    const Vec across = (level - b.spine * level.dot(b.spine)).unit();
    b.shoulderCentre = b.neck - b.spine * (0.04 * f.s);
    b.shoulderLead = b.shoulderCentre + across * f.len("shoulders");
    b.shoulderTrail = b.shoulderCentre - across * f.len("shoulders");
    const Vec headUp = (b.spine + Vec{0, 0.7, 0}).unit();
    b.head = b.neck + headUp * (f.len("neck") + f.len("head") * 0.8);
    const double look = rad(p["look"]);
    const Vec toBall = (ball - b.head).unit();
    b.face = (toBall * std::cos(look) + Vec{0.0, -0.15, 1.0}.unit() * std::sin(look)).unit();

    // Hands round the swing plane, the club turned further by the wrists.
    const double planeAngle = std::atan2(planeDown.y, planeDown.x) - rad(p["steep"]);
    const Vec down{std::cos(planeAngle), std::sin(planeAngle), 0.0};
    const Vec target{0, 0, 1};
    const double theta = rad(p["theta"]);
    const double phi = theta + rad(p["hinge"]);
    const double r = p["radius"] * f.s;
    b.hands = b.shoulderCentre + (down * std::cos(theta) - target * std::sin(theta)) * r;
    // The club swings on a flatter plane than the hands once it is up.
    const double clubAngle = planeAngle + rad(p["flat"]) * (1.0 - std::cos(phi)) / 2.0;
    const Vec clubDown{std::cos(clubAngle), std::sin(clubAngle), 0.0};
    const Vec club = (clubDown * std::cos(phi) - target * std::sin(phi)).unit();
    b.clubHead = b.hands + club * clubLength;
    b.gripEnd = b.hands - club * 0.05;
    b.trailHand = b.hands + club * 0.075;
    b.elbowLead =
        bend(b.shoulderLead, b.hands, f.len("upperarm"), f.len("forearm"), Vec{-0.2, -1.0, 0.3}, end);
    b.wristLead = end;
    b.elbowTrail =
        bend(b.shoulderTrail, b.trailHand, f.len("upperarm"), f.len("forearm"), Vec{-0.5, -1.0, -0.4}, end);
    b.wristTrail = end;
    return b;
}

// Something to draw and how far away it is; far things are drawn first.
struct Part {
    double depth;
    int order;
    std::function<void(Canvas&)> paint;
};

}  // namespace

bool GolferMaker::make(const std::string& build, std::vector<Picture>& frames, std::string& error) const {
    frames.clear();
    for (int i = 0; i < frameCount; ++i) {
        Picture p;
        if (!frame(build, i, p, error)) {
            return false;
        }
        frames.push_back(std::move(p));
    }
    return true;
}

bool GolferMaker::frame(const std::string& buildName, int index, Picture& out, std::string& error) const {
    const Script::Line cameraLine = m_figure.find("camera", "distance");
    const Script::Line canvasLine = m_figure.find("canvas", "width");
    if (cameraLine.size() < 5 || canvasLine.size() < 11) {
        error = "golfer: camera or canvas missing";
        return false;
    }
    const double camDistance = std::stod(cameraLine[2]);
    const double camHeight = std::stod(cameraLine[4]);
    out.width = std::stoi(canvasLine[2]);
    out.height = std::stoi(canvasLine[4]);
    out.anchorX = std::stoi(canvasLine[6]);
    out.anchorY = std::stoi(canvasLine[8]);
    out.label = buildName + " " + std::to_string(index);
    if (out.width < 16 || out.height < 16 || out.width > 512 || out.height > 512) {
        error = "golfer: bad canvas";
        return false;
    }

    Figure fig;
    fig.build = m_figure.numbers("build", buildName);
    if (fig.build.empty()) {
        error = "golfer: no build " + buildName;
        return false;
    }
    fig.s = fig.get("stature");
    const auto dressLine = m_figure.find("dress", buildName);
    std::map<std::string, std::string> dress;
    for (size_t i = 2; i + 1 < dressLine.size(); i += 2) {
        dress[dressLine[i]] = dressLine[i + 1];
    }
    auto colour = [&](const std::string& part) -> Colour {
        // A part may be dressed like another part ("legs trousers").
        std::string name = part;
        for (int hops = 0; hops < 4 && dress.count(name) != 0; ++hops) {
            name = dress.at(name);
        }
        return m_palette.colour(name);
    };

    // The frame's pose: its stance, overridden by what the frame line sets.
    Script::Line frameLine;
    for (const Script::Line& line : m_figure.all("frame")) {
        if (line.size() >= 3 && std::stoi(line[1]) == index) {
            frameLine = line;
        }
    }
    if (frameLine.empty()) {
        error = "golfer: no frame " + std::to_string(index);
        return false;
    }
    Pose address;
    address.v = m_figure.numbers("stance", frameLine[2]);
    if (address.v.empty()) {
        error = "golfer: no stance " + frameLine[2];
        return false;
    }
    Pose p = address;
    for (size_t i = 3; i + 1 < frameLine.size(); i += 2) {
        p.v[frameLine[i]] = std::stod(frameLine[i + 1]);
    }

    // The swing plane and the club's length come from the stance's address, so that
    // the club head meets the ball at the bottom of every swing.
    const Body rest = pose(fig, address, {1, 0, 0}, 0.0);
    const Vec planeDown = (clubRest - rest.shoulderCentre).unit();
    const double clubLength = (clubRest - rest.shoulderCentre).length() - address["radius"] * fig.s;
    const Body b = pose(fig, p, planeDown, clubLength);

    // Perspective from the game's camera, normalised to the ball's distance.
    const double ppm = out.height / std::stod(canvasLine[10]);
    const double ox = out.anchorX + 0.5;
    const double oy = out.anchorY + 0.5;
    auto scaleAt = [&](const Vec& v) { return camDistance / (camDistance + v.z) * ppm; };
    auto at = [&](const Vec& v) -> Point {
        const double k = camDistance / (camDistance + v.z);
        return {ox + v.x * k * ppm, oy - (camHeight + (v.y - camHeight) * k) * ppm};
    };

    std::vector<Part> parts;
    int order = 0;
    auto add = [&](double depth, std::function<void(Canvas&)> paint) {
        parts.push_back({depth, order++, std::move(paint)});
    };
    // A limb lit from the upper right: a dark body, a lit band, a highlight.
    auto limb = [&](Canvas& c, const Vec& a, double ra, const Vec& e, double re, const Colour& col) {
        const Point pa = at(a);
        const Point pe = at(e);
        const double rpa = std::max(0.55, ra * scaleAt(a));
        const double rpe = std::max(0.55, re * scaleAt(e));
        const Mask body = c.rasterize(capsule(pa, rpa, pe, rpe));
        c.paint(body, col.scaled(0.70));
        const double r = (rpa + rpe) / 2;
        const Point d1{r * 0.35, -r * 0.3};
        const Mask lit =
            c.rasterize(capsule({pa.x + d1.x, pa.y + d1.y}, rpa * 0.9, {pe.x + d1.x, pe.y + d1.y}, rpe * 0.9))
                .intersect(body);
        c.paint(lit, col);
        const Point d2{r * 0.6, -r * 0.5};
        const Mask high =
            c.rasterize(capsule({pa.x + d2.x, pa.y + d2.y}, rpa * 0.5, {pe.x + d2.x, pe.y + d2.y}, rpe * 0.5))
                .intersect(body);
        c.paint(high, col.scaled(1.14), 0.8);
    };
    auto ball3 = [&](Canvas& c, const Vec& centre, double r, const Colour& col) {
        limb(c, centre, r, centre, r, col);
    };

    const Colour skin = colour("skin");
    const Colour shirt = colour("shirt");
    const Colour trousers = colour("trousers");
    const Colour legs = colour("legs");
    const Colour shoes = colour("shoes");
    const Colour hair = colour("hair");
    const Colour hat = colour("hat");
    const Colour glove = colour("glove");
    const bool skirt = buildName == "female";

    // Legs and feet.
    auto leg = [&](const Vec& hip, const Vec& knee, const Vec& ankle, const Vec& toe) {
        add((hip.z + ankle.z) / 2, [=, this](Canvas& c) {
            limb(c, hip, fig.len("thighr"), knee, fig.len("thighr") * 0.8, skirt ? legs : trousers);
            limb(c, knee, fig.len("shinr"), ankle, fig.len("shinr") * 0.75, legs);
            if (skirt) {
                limb(c, ankle + Vec{0, 0.06, 0}, 0.04 * fig.s, ankle, 0.038 * fig.s,
                     m_palette.colour("sock"));
            }
            limb(c, ankle - (toe - ankle) * 0.3, 0.045 * fig.s, toe, 0.04 * fig.s, shoes);
        });
    };
    leg(b.hipLead, b.kneeLead, b.ankleLead, b.toeLead);
    leg(b.hipTrail, b.kneeTrail, b.ankleTrail, b.toeTrail);

    // Pelvis under the shirt's hem; a skirt over the tops of both thighs.
    add(b.pelvis.z + 0.01, [=, this](Canvas& c) {
        limb(c, b.hipLead, fig.len("hipwidth"), b.hipTrail, fig.len("hipwidth"), trousers);
    });
    if (skirt) {
        const double legsFront = std::min(b.hipLead.z + b.ankleLead.z, b.hipTrail.z + b.ankleTrail.z) / 2;
        add(std::min(legsFront, b.pelvis.z) - 0.01, [=, this](Canvas& c) {
            const Vec hem = (b.kneeLead + b.kneeTrail) * 0.5 * 0.35 + b.pelvis * 0.65;
            limb(c, b.pelvis, fig.len("hipwidth") * 0.95, hem, fig.len("hipwidth") * 1.1, trousers);
        });
    }
    add(b.pelvis.z, [=, this](Canvas& c) {
        const Vec waist = b.pelvis + b.spine * (0.08 * fig.s);
        limb(c, b.neck, 0.05 * fig.s, b.head, 0.05 * fig.s, skin);
        limb(c, waist, fig.len("waist"), b.shoulderCentre - b.spine * (0.12 * fig.s), fig.len("chest"),
             shirt);
        limb(c, b.shoulderLead, fig.len("armr") * 1.3, b.shoulderTrail, fig.len("armr") * 1.3, shirt);
    });
    // Belt: a band round the waist, seen where it crosses the torso.
    add(b.pelvis.z - 0.005, [=, this](Canvas& c) {
        const Vec waist = b.pelvis + b.spine * (0.08 * fig.s);
        const Vec front{std::cos(b.hipsTurn), 0.0, -std::sin(b.hipsTurn)};
        const double r = fig.len("waist");
        const Mask torso = c.rasterize(capsule(at(waist - b.spine * 0.03), r * scaleAt(waist) * 1.02,
                                               at(waist + b.spine * 0.2), r * scaleAt(waist) * 1.02));
        const Mask band = c.rasterize(capsule(at(waist - front * r), 0.022 * scaleAt(waist),
                                              at(waist + front * r), 0.022 * scaleAt(waist)));
        c.paint(band.intersect(torso), m_palette.colour("belt"));
    });

    // Arms: sleeves, forearms and the hands on the grip.
    auto arm = [&](const Vec& shoulder, const Vec& elbow, const Vec& wrist, const Vec& hand,
                   const Colour& handColour, double bias) {
        add((shoulder.z + hand.z) / 2 + bias, [=, this](Canvas& c) {
            limb(c, shoulder, fig.len("armr"), elbow, fig.len("armr") * 0.85, skin);
            limb(c, shoulder, fig.len("armr") * 1.25, shoulder + (elbow - shoulder) * 0.5,
                 fig.len("armr") * 1.15, shirt);
            limb(c, elbow, fig.len("forearmr"), wrist, fig.len("forearmr") * 0.8, skin);
            ball3(c, hand, 0.045 * fig.s, handColour);
        });
    };
    // The club: grip, shaft and head.
    add((b.hands.z + b.clubHead.z) / 2, [=, this](Canvas& c) {
        const Vec dir = (b.clubHead - b.hands).unit();
        limb(c, b.hands, 0.004, b.clubHead, 0.004, m_palette.colour("club.shaft"));
        limb(c, b.gripEnd, 0.014, b.hands + dir * 0.22, 0.012, m_palette.colour("club.grip"));
        ball3(c, b.clubHead, 0.032, m_palette.colour("club.head"));
    });
    arm(b.shoulderLead, b.elbowLead, b.wristLead, b.hands, glove, 0.0);
    arm(b.shoulderTrail, b.elbowTrail, b.wristTrail, b.trailHand, skin, -0.02);

    // Head: skin, hair, and the cap or visor with its brim towards the face.
    add(b.head.z - 0.01, [=, this](Canvas& c) {
        const Point h = at(b.head);
        const double r = fig.len("head") * scaleAt(b.head);
        const Point f = at(b.head + b.face * 0.1);
        double fx = f.x - h.x;
        double fy = f.y - h.y;
        const double fl = std::sqrt(fx * fx + fy * fy);
        // How much the face turns away from the camera (1: we see the back of the head).
        const double away = std::clamp(b.face.z, 0.0, 1.0);
        if (fl > 1e-6) {
            fx /= fl;
            fy /= fl;
        }
        if (skirt) {
            // Ponytail behind the head.
            const Point root{h.x - fx * r * 0.8, h.y - r * 0.1};
            const Point tip{h.x - fx * r * 1.5, h.y + r * 1.5};
            const Mask tail = c.rasterize(capsule(root, r * 0.42, tip, r * 0.25));
            c.paint(tail, hair.scaled(0.8));
        }
        ball3(c, b.head, fig.len("head"), skin);
        const Mask head = c.rasterize(circle(h.x, h.y, r * 1.04));
        const double back = 0.45 + 0.5 * away;
        const Mask hairMask =
            c.rasterize(circle(h.x - fx * r * (1.0 - away) * 0.55, h.y - r * 0.25, r * back * 1.6))
                .intersect(head);
        c.paint(hairMask, hair);
        if (away < 0.6) {
            // The ear on the side of the head that faces the camera.
            c.fill(circle(h.x - fx * r * 0.12, h.y + r * 0.12, r * 0.24), skin.scaled(0.8));
        }
        const Mask crown = c.rasterize(circle(h.x - fx * r * 0.1, h.y - r * 0.55, r * 0.95)).intersect(head);
        if (!skirt) {
            c.paint(crown, [&](double x, double) { return x > h.x ? hat : hat.scaled(0.8); });
        } else {
            // Visor band.
            const Mask band =
                c.rasterize(capsule({h.x - r, h.y - r * 0.35}, r * 0.16, {h.x + r, h.y - r * 0.35}, r * 0.16))
                    .intersect(head);
            c.paint(band, hat);
        }
        if (away < 0.85 && fl > 1e-6) {
            const Point brim{h.x + fx * r * 0.95, h.y - r * 0.35 + fy * r * 0.3};
            const double angle = std::atan2(fy, fx) * 0.35;
            c.paint(c.rasterize(ellipse(brim.x, brim.y, r * 0.75 * (1.0 - away * 0.6), r * 0.24, angle)),
                    hat.scaled(1.25));
        }
    });

    std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
        return a.depth != b.depth ? a.depth > b.depth : a.order < b.order;
    });
    Canvas figure(out.width, out.height);
    for (const Part& part : parts) {
        part.paint(figure);
    }
    // A dark outline keeps the figure readable over any ground.
    Canvas framed(out.width, out.height);
    framed.paint(figure.alphaMask().dilated(0.7), m_palette.colour("outline"), 0.85);
    framed.composite(figure);
    out.argb = framed.argb();

    // A visible pixel on the canvas's border means the figure does not fit.
    const auto visible = [&out](int x, int y) {
        return (out.argb[static_cast<size_t>(y * out.width + x)] >> 24) > 8;
    };
    bool cut = false;
    for (int x = 0; x < out.width && !cut; ++x) {
        cut = visible(x, 0) || visible(x, out.height - 1);
    }
    for (int y = 0; y < out.height && !cut; ++y) {
        cut = visible(0, y) || visible(out.width - 1, y);
    }
    if (cut) {
        if (m_strict) {
            error = out.label + " leaves its canvas";
            return false;
        }
        out.label += " (cut)";
    }
    return true;
}

}  // namespace fairholm::packgen
