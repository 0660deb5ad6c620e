// The generated image pack "golf" read back through the engine's Vilib, as the game
// reads it: picture count, sizes and hot spots, tiling textures, golfer frames that
// keep their feet in place.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/sprite/Vdisplay.h"
#include "engine/sprite/Vilib.h"
#include "game/Pictures.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/String.h"
#include "tests/support/QuietPlatform.h"
#include "tools/packgen/PackBuilder.h"

using namespace fairholm;
using fairholm::testing::QuietPlatform;

namespace {

constexpr int maleBase = Pictures::maleGolfer;
constexpr int femaleBase = Pictures::femaleGolfer;
constexpr int frames = Pictures::golferFrames;

// One decoded picture: size, hot spot and pixels (colour in bits 0..23, alpha level in
// bits 29..31).
struct Decoded {
    int width = 0, height = 0, anchorX = 0, anchorY = 0;
    std::vector<uint32_t> pixels;

    int level(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0;
        }
        return static_cast<int>(pixels[static_cast<size_t>(y * width + x)] >> 29);
    }
    uint32_t colour(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFF; }
    // Lowest row with an opaque-ish pixel.
    int lowestRow() const {
        for (int y = height - 1; y >= 0; --y) {
            for (int x = 0; x < width; ++x) {
                if (level(x, y) >= 4) {
                    return y;
                }
            }
        }
        return -1;
    }
    // Rightmost column of the visible pixels in rows [top, bottom], left of `right`.
    int toeColumn(int top, int bottom, int right) const {
        int found = -1;
        for (int y = std::max(0, top); y <= std::min(height - 1, bottom); ++y) {
            for (int x = 0; x < std::min(width, right); ++x) {
                if (level(x, y) >= 4) {
                    found = std::max(found, x);
                }
            }
        }
        return found;
    }
    bool anyVisibleNear(int cx, int cy, int radius) const {
        for (int y = cy - radius; y <= cy + radius; ++y) {
            for (int x = cx - radius; x <= cx + radius; ++x) {
                if (level(x, y) >= 4) {
                    return true;
                }
            }
        }
        return false;
    }
};

int channel(uint32_t c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}

int distance(uint32_t a, uint32_t b) {
    return std::abs(channel(a, 16) - channel(b, 16)) + std::abs(channel(a, 8) - channel(b, 8)) +
           std::abs(channel(a, 0) - channel(b, 0));
}

class GolfPack : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(ProgramDirectory::set(FAIRHOLM_PROGRAM_DIR));
        Ref<Vdisplay> display = make<Vdisplay>(make<QuietPlatform>());
        pack = new Ref<Vilib>(make<Vilib>(display, *lit("golf")));
        decoded = new std::vector<Decoded>();
        for (int i = 0; i < (*pack)->count(); ++i) {
            Ref<Vpicture> p = (*pack)->loadPicture(i);
            Decoded d;
            d.width = p->width();
            d.height = p->height();
            d.anchorX = p->anchorX();
            d.anchorY = p->anchorY();
            const IntArray& px = p->pixels();
            for (int k = 0; k < px.length(); ++k) {
                d.pixels.push_back(static_cast<uint32_t>(px[k]));
            }
            decoded->push_back(std::move(d));
        }
    }
    static void TearDownTestSuite() {
        delete pack;
        delete decoded;
        pack = nullptr;
        decoded = nullptr;
    }

    static const Decoded& picture(int n) { return (*decoded)[static_cast<size_t>(n)]; }

    static Ref<Vilib>* pack;
    static std::vector<Decoded>* decoded;
};

Ref<Vilib>* GolfPack::pack = nullptr;
std::vector<Decoded>* GolfPack::decoded = nullptr;

TEST_F(GolfPack, HoldsFiftyNineRunLengthPictures) {
    ASSERT_EQ((*pack)->count(), 59);
    for (int i = 0; i < 59; ++i) {
        EXPECT_EQ((*pack)->getPicture(i)->type(), 'r') << i;
        EXPECT_EQ(static_cast<int>(picture(i).pixels.size()), picture(i).width * picture(i).height) << i;
    }
    EXPECT_TRUE((*pack)->getPicture(59).isNull());
}

TEST_F(GolfPack, TitleIsCentredOnItsHotSpotAndFitsTheNarrowScreen) {
    const Decoded& t = picture(0);
    EXPECT_LE(t.width, 176);  // the narrowest screen
    EXPECT_EQ(t.anchorX, t.width / 2);
    EXPECT_EQ(t.anchorY, t.height / 2);
    // Placed at y = 64 it starts on the screen and leaves most of 220 rows for the menu.
    EXPECT_GE(64 - t.anchorY, 0);
    EXPECT_LE(64 - t.anchorY + t.height, 110);
    // A logo, not a box: transparent corners, an opaque middle, soft edges.
    EXPECT_EQ(t.level(0, 0), 0);
    EXPECT_EQ(t.level(t.width - 1, t.height - 1), 0);
    EXPECT_EQ(t.level(t.width / 2, t.height * 2 / 3), 7);
    int soft = 0;
    for (uint32_t p : t.pixels) {
        const int level = static_cast<int>(p >> 29);
        soft += level > 0 && level < 7 ? 1 : 0;
    }
    EXPECT_GT(soft, 100);
}

TEST_F(GolfPack, TexturesAreOpaqueTilesWithContinuousEdges) {
    for (int n = 1; n <= 7; ++n) {
        SCOPED_TRACE(n);
        const Decoded& t = picture(n);
        ASSERT_EQ(t.width, 32);
        ASSERT_EQ(t.height, 32);
        EXPECT_EQ(t.anchorX, 0);
        EXPECT_EQ(t.anchorY, 0);
        for (uint32_t p : t.pixels) {
            ASSERT_EQ(p >> 29, 7u);
        }
        // The step across the wrap (column 31 to column 0, row 31 to row 0) is no
        // larger than the largest step between neighbouring columns (rows) inside the
        // tile, where mowing stripes and checks have their edges.
        for (bool rows : {false, true}) {
            auto step = [&](int a, int b) {
                double sum = 0;
                for (int k = 0; k < 32; ++k) {
                    sum += rows ? distance(t.colour(k, a), t.colour(k, b))
                                : distance(t.colour(a, k), t.colour(b, k));
                }
                return sum / 32.0;
            };
            double largest = 0;
            for (int i = 0; i < 31; ++i) {
                largest = std::max(largest, step(i, i + 1));
            }
            EXPECT_LE(step(31, 0), largest * 1.1 + 2.0) << (rows ? "rows" : "columns");
        }
    }
}

TEST_F(GolfPack, TexturesCanBeToldApart) {
    std::vector<uint32_t> means;
    for (int n = 1; n <= 7; ++n) {
        double r = 0, g = 0, b = 0;
        for (uint32_t p : picture(n).pixels) {
            r += channel(p, 16);
            g += channel(p, 8);
            b += channel(p, 0);
        }
        means.push_back(static_cast<uint32_t>(r / 1024) << 16 | static_cast<uint32_t>(g / 1024) << 8 |
                        static_cast<uint32_t>(b / 1024));
    }
    for (size_t i = 0; i < means.size(); ++i) {
        for (size_t k = i + 1; k < means.size(); ++k) {
            EXPECT_GE(distance(means[i], means[k]), 12) << i + 1 << " and " << k + 1;
        }
    }
    const uint32_t water = means[2];
    EXPECT_GT(channel(water, 0), channel(water, 8));  // blue water
    EXPECT_GT(channel(water, 0), channel(water, 16));
    const uint32_t sand = means[5];
    EXPECT_GT(channel(sand, 16), 180);                      // pale sand
    EXPECT_LT(channel(means[0], 8), channel(means[3], 8));  // rough darker than the green
}

TEST_F(GolfPack, ObjectsStandOnTheirHotSpots) {
    // Pin, tree, bag: hot spot on the bottom row, on something solid.
    for (int n : {8, 9, 10}) {
        SCOPED_TRACE(n);
        const Decoded& p = picture(n);
        EXPECT_GE(p.anchorY, p.height - 3);
        EXPECT_TRUE(p.anyVisibleNear(p.anchorX, p.anchorY, 2));
        EXPECT_GE(p.height, 32);
    }
    // Taller objects keep more detail: the tree is the largest picture.
    EXPECT_GT(picture(9).height, picture(8).height);
    EXPECT_GT(picture(8).height, picture(10).height);
    // The ball and its shadow share a scale (the game sizes both by their height).
    EXPECT_EQ(picture(11).height, picture(12).height);
    EXPECT_EQ(picture(11).level(picture(11).width / 2, picture(11).height / 2), 7);
    const Decoded& shadow = picture(12);
    EXPECT_EQ(shadow.level(shadow.anchorX, shadow.anchorY), 7);
    EXPECT_LT(channel(shadow.colour(shadow.anchorX, shadow.anchorY), 8), 40);  // dark
    EXPECT_EQ(shadow.level(shadow.anchorX, 0), 0);                             // flat on the ground
}

TEST_F(GolfPack, GolferFramesShareOneCanvasAndHotSpot) {
    const Decoded& first = picture(maleBase);
    EXPECT_GE(first.height, 90);  // shown 2 yards tall, about 90 pixels, never enlarged
    for (int n = maleBase; n < femaleBase + frames; ++n) {
        SCOPED_TRACE(n);
        const Decoded& p = picture(n);
        EXPECT_EQ(p.width, first.width);
        EXPECT_EQ(p.height, first.height);
        EXPECT_EQ(p.anchorX, first.anchorX);
        EXPECT_EQ(p.anchorY, first.anchorY);
        // Nothing is cut off at the canvas edges.
        for (int x = 0; x < p.width; ++x) {
            EXPECT_EQ(p.level(x, 0), 0);
            EXPECT_EQ(p.level(x, p.height - 1), 0);
        }
        for (int y = 0; y < p.height; ++y) {
            EXPECT_EQ(p.level(0, y), 0);
            EXPECT_EQ(p.level(p.width - 1, y), 0);
        }
    }
}

TEST_F(GolfPack, GolfersKeepTheirFeetInPlace) {
    for (int base : {maleBase, femaleBase}) {
        SCOPED_TRACE(base);
        const Decoded& stance = picture(base);
        const int ground = stance.lowestRow();
        // The toes of the feet, apart from the club head at the ball (the hot spot).
        // The heel of the back foot lifts in the finish; the toes stay put.
        const int right = stance.anchorX - 8;
        const int feet = stance.toeColumn(ground - 3, ground, right);
        ASSERT_GT(ground, stance.anchorY - 4);
        // The feet stand to the left of the ball, the hot spot.
        EXPECT_GT(feet, 0);
        EXPECT_LT(feet, right);
        for (int i = 0; i < frames; ++i) {
            SCOPED_TRACE(i);
            const Decoded& p = picture(base + i);
            EXPECT_NEAR(p.lowestRow(), ground, 1);
            EXPECT_NEAR(p.toeColumn(ground - 3, ground, right), feet, 1);
        }
    }
}

TEST_F(GolfPack, TheClubMeetsTheBallAtAddressAndImpactOnly) {
    for (int base : {maleBase, femaleBase}) {
        SCOPED_TRACE(base);
        const Decoded& stance = picture(base);
        const int ax = stance.anchorX;
        const int ay = stance.anchorY - 1;
        EXPECT_TRUE(picture(base + 0).anyVisibleNear(ax, ay, 2));    // address
        EXPECT_TRUE(picture(base + 9).anyVisibleNear(ax, ay, 2));    // impact, the strike frame
        EXPECT_TRUE(picture(base + 17).anyVisibleNear(ax, ay, 2));   // putting address
        EXPECT_FALSE(picture(base + 5).anyVisibleNear(ax, ay, 3));   // top of the swing
        EXPECT_FALSE(picture(base + 16).anyVisibleNear(ax, ay, 3));  // finish
    }
}

TEST_F(GolfPack, TheTwoGolfersDiffer) {
    for (int i = 0; i < frames; ++i) {
        const Decoded& m = picture(maleBase + i);
        const Decoded& f = picture(femaleBase + i);
        int differing = 0;
        for (size_t k = 0; k < m.pixels.size(); ++k) {
            differing += m.pixels[k] != f.pixels[k] ? 1 : 0;
        }
        EXPECT_GT(differing, 300) << i;
    }
}

TEST_F(GolfPack, AnimationFramesChangeFromOneToTheNext) {
    for (int base : {maleBase, femaleBase}) {
        for (int i = 1; i <= 16; ++i) {
            const Decoded& a = picture(base + i - 1);
            const Decoded& b = picture(base + i);
            EXPECT_NE(a.pixels, b.pixels) << base + i;
        }
    }
}

TEST(GolfPackBuild, IsReproducibleAndMatchesTheBuiltFile) {
    fairholm::packgen::PackBuilder first(FAIRHOLM_SOURCE_DIR "/assets/pictures", FAIRHOLM_FONT_DIR);
    fairholm::packgen::PackBuilder second(FAIRHOLM_SOURCE_DIR "/assets/pictures", FAIRHOLM_FONT_DIR);
    std::string error;
    ASSERT_TRUE(first.build(error)) << error;
    ASSERT_TRUE(second.build(error)) << error;
    const std::vector<uint8_t> bytes = first.packBytes();
    EXPECT_EQ(bytes, second.packBytes());
    std::ifstream in(std::string(FAIRHOLM_PROGRAM_DIR) + "/golf.bin", std::ios::binary);
    const std::vector<uint8_t> built{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(bytes, built);
}

}  // namespace
