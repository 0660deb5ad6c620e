#include "engine/render3d/RayBatch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/render3d/TerrainTestSupport.h"
#include "engine/render3d/VpolyTerrain.h"
#include "engine/render3d/Vterrain.h"
#include "runtime/Array.h"
#include "runtime/Fixed.h"

namespace fairholm {
namespace {

using fx::one;

// A small deterministic generator for the shapes, textures and cameras.
class Dice {
public:
    explicit Dice(uint32_t seed) : m_state(seed) {}
    int32_t below(int32_t n) {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<int32_t>((m_state >> 8) % static_cast<uint32_t>(n));
    }

private:
    uint32_t m_state;
};

// Hills and hollows as a course is drawn: a grid of cells, each with nested
// outlines of few sides (long crossings that run far along their rows) at random
// levels. Outlines never cross each other, so every point has one region whatever
// the order of the lookups.
Ref<VpolyTerrain> hillyGround(uint32_t seed, int32_t images) {
    Dice dice(seed);
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    terrain->beginShapes(512, 512, 4096, 48);
    constexpr int32_t cells = 6;
    constexpr int32_t cell = 512 / cells;
    for (int32_t c = 0; c < cells * cells; ++c) {
        const fixed cx = (c % cells * cell + cell / 2) * one;
        const fixed cz = (c / cells * cell + cell / 2) * one;
        const int32_t sides = 3 + dice.below(10);
        const angle turn = dice.below(32768);
        const fixed stretch = one / 4 + dice.below(3 * one / 4);
        int32_t outside = 0;
        fixed radius = (cell / 2 - 1) * one;
        for (int32_t depth = 0; depth < 3; ++depth) {
            const int32_t fill = terrain->addColor(0x100 * (3 * c + depth) + dice.below(256));
            std::vector<fixed> xs;
            std::vector<fixed> zs;
            for (int32_t i = 0; i < sides; ++i) {
                const angle a = turn + i * 32768 / sides;
                xs.push_back(cx + fx::mul(radius, fx::cos(a)));
                zs.push_back(cz + fx::mul(fx::mul(radius, stretch), fx::sin(a)));
            }
            for (int32_t i = 0; i < sides; ++i) {
                const int32_t j = (i + 1) % sides;
                terrain->addLine(xs[i], zs[i], xs[j], zs[j], fill, outside);
            }
            outside = fill;
            radius = radius * 3 / 5;
        }
    }
    terrain->endShape();
    for (int32_t i = 0; i < terrain->paletteSize(); ++i) {
        terrain->setPaletteImage(i, nullptr, i % images);
        terrain->setColor(i, terrain->paletteColor(i) & 0xFF);
    }
    terrain->buildHeightMap();
    return terrain;
}

// Outlines as a modder may draw them: polygons of few sides thrown anywhere on the
// map, crossing each other and themselves, whose long crossings overlap along rows.
Ref<VpolyTerrain> crossingGround(uint32_t seed, int32_t images) {
    Dice dice(seed);
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    terrain->beginShapes(512, 512, 4096, 24);
    for (int32_t shape = 0; shape < 40; ++shape) {
        const int32_t fill = terrain->addColor(0x10101 * (shape + 1) + dice.below(256));
        const int32_t sides = 3 + dice.below(5);
        std::vector<fixed> xs;
        std::vector<fixed> zs;
        for (int32_t i = 0; i < sides; ++i) {
            xs.push_back(dice.below(560 * one) - 24 * one);
            zs.push_back(dice.below(560 * one) - 24 * one);
        }
        for (int32_t i = 0; i < sides; ++i) {
            const int32_t j = (i + 1) % sides;
            terrain->addLine(xs[i], zs[i], xs[j], zs[j], fill, shape % 3 == 0 ? 0 : fill - 1);
        }
    }
    terrain->endShape();
    for (int32_t i = 0; i < terrain->paletteSize(); ++i) {
        terrain->setPaletteImage(i, nullptr, i % images);
        terrain->setColor(i, (terrain->paletteColor(i) * 7) & 0xFF);
    }
    terrain->buildHeightMap();
    return terrain;
}

// Textures of random texels; image 4 is the green's.
std::vector<test::PackPicture> noisyTextures(int32_t count) {
    Dice dice(99);
    std::vector<test::PackPicture> pictures;
    for (int32_t i = 0; i < count; ++i) {
        test::PackPicture p = test::solidPicture(32, 32, 0);
        for (int32_t& c : p.colours) {
            c = dice.below(0x1000000);
        }
        pictures.push_back(p);
    }
    return pictures;
}

struct Shot {
    fixed x;
    fixed eye;
    fixed z;
    angle heading;
};

// Draws the same sequence of shots with a ray batch kernel (none: the one-column
// caster) and returns every frame and column-top table in turn.
std::vector<std::vector<int32_t>> drawShots(RayBatch::Kernel kernel, const Ref<VpolyTerrain>& terrain,
                                            const Ref<Vilib>& pack, int32_t width, int32_t height,
                                            int32_t horizon, bool backBuffer,
                                            const std::vector<Shot>& shots) {
    RayBatch::limitTo(kernel);
    Ref<Vterrain> view = make<Vterrain>(width, height, backBuffer);
    view->setTerrain(terrain);
    view->setTextures(pack);
    view->setHorizon(horizon);
    view->setSkyColors(static_cast<int32_t>(0xFF005995), static_cast<int32_t>(0xFF3399FF));
    IntArray screen = newIntArray(width * height);
    std::vector<std::vector<int32_t>> frames;
    int32_t n = 0;
    for (const Shot& shot : shots) {
        view->setHeading(shot.heading);
        view->placeCamera(shot.x, shot.eye, shot.z);
        // Full redraws, then partial ones over what the last one left.
        const int32_t left = n % 3 == 2 ? width / 3 : 0;
        const int32_t top = n % 4 == 3 ? height / 2 : 0;
        const int32_t right = n % 5 == 4 ? width - 7 : width;
        view->drawTerrain(screen, width, height, left, top, right, height - (n % 6 == 5 ? 3 : 0));
        frames.emplace_back(screen.begin(), screen.begin() + screen.length());
        const ShortArray& tops = view->columnTop();
        frames.emplace_back(tops.begin(), tops.begin() + tops.length());
        ++n;
    }
    RayBatch::limitTo(RayBatch::Kernel::avx512);
    return frames;
}

std::vector<Shot> shotsOver(uint32_t seed, int32_t count) {
    Dice dice(seed);
    std::vector<Shot> shots;
    for (int32_t i = 0; i < count; ++i) {
        // Mostly over the map, some beyond its edges; eyes from below the ground up.
        shots.push_back({(dice.below(640) - 64) * one + dice.below(one), dice.below(12 * one) - 2 * one,
                         (dice.below(640) - 64) * one + dice.below(one), dice.below(65536) - 16384});
    }
    return shots;
}

constexpr RayBatch::Kernel everyKernel[] = {RayBatch::Kernel::sse41, RayBatch::Kernel::neon,
                                            RayBatch::Kernel::simd128, RayBatch::Kernel::avx2,
                                            RayBatch::Kernel::avx512};

// The kernels this build and processor run.
std::vector<RayBatch::Kernel> kernels() {
    std::vector<RayBatch::Kernel> found;
    for (RayBatch::Kernel k : everyKernel) {
        RayBatch::limitTo(k);
        if (RayBatch::kernel() == k) {
            found.push_back(k);
        }
    }
    RayBatch::limitTo(RayBatch::Kernel::avx512);
    return found;
}

class RayBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kernels().empty()) {
            GTEST_SKIP() << "no ray batch kernel here: the one-column caster draws everything";
        }
    }
};

TEST(RayBatchKernels, EachBuildRunsItsFourLaneKernel) {
    RayBatch::Kernel expected = RayBatch::Kernel::none;
#if defined(__aarch64__)
    expected = RayBatch::Kernel::neon;
#elif defined(__wasm_simd128__)
    expected = RayBatch::Kernel::simd128;
#elif defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("sse4.1")) {
        expected = RayBatch::Kernel::sse41;
    }
#endif
    RayBatch::limitTo(RayBatch::Kernel::sse41);
    EXPECT_EQ(RayBatch::kernel(), expected);
    RayBatch::limitTo(RayBatch::Kernel::avx512);
}

TEST_F(RayBatchTest, TheLimitPicksTheWidestKernelWithinIt) {
    const std::vector<RayBatch::Kernel> found = kernels();
    // Any four-lane limit means this build's four-lane kernel, where it has one.
    RayBatch::Kernel fourLanes = RayBatch::Kernel::none;
    for (RayBatch::Kernel k : found) {
        if (k != RayBatch::Kernel::avx2 && k != RayBatch::Kernel::avx512) {
            EXPECT_EQ(fourLanes, RayBatch::Kernel::none) << "two four-lane kernels";
            fourLanes = k;
        }
    }
    for (RayBatch::Kernel k : {RayBatch::Kernel::sse41, RayBatch::Kernel::neon, RayBatch::Kernel::simd128}) {
        RayBatch::limitTo(k);
        EXPECT_EQ(RayBatch::kernel(), fourLanes);
    }
    RayBatch::limitTo(RayBatch::Kernel::none);
    EXPECT_EQ(RayBatch::kernel(), RayBatch::Kernel::none);
    EXPECT_FALSE(RayBatch::available());
    RayBatch::limitTo(RayBatch::Kernel::avx512);
    EXPECT_EQ(RayBatch::kernel(), found.back());
    for (RayBatch::Kernel k : found) {
        EXPECT_GE(RayBatch::columnsPerCast(k), 1);
        EXPECT_LE(RayBatch::columnsPerCast(k), RayBatch::maxColumnsPerCast);
    }
}

TEST_F(RayBatchTest, SameFramesAsTheColumnCaster) {
    test::PackFile file("raybatch_textures", noisyTextures(8));
    const Ref<VpolyTerrain> terrain = hillyGround(7, 8);
    const std::vector<Shot> shots = shotsOver(11, 24);
    struct View {
        int32_t width, height, horizon;
        bool backBuffer;
    };
    for (const View& v : {View{240, 320, 100, true}, View{97, 61, 20, true}, View{64, 48, 60, false},
                          View{33, 40, -5, true}}) {
        const auto expected = drawShots(RayBatch::Kernel::none, terrain, file.pack(), v.width, v.height,
                                        v.horizon, v.backBuffer, shots);
        for (RayBatch::Kernel kernel : kernels()) {
            const auto batched =
                drawShots(kernel, terrain, file.pack(), v.width, v.height, v.horizon, v.backBuffer, shots);
            ASSERT_EQ(batched.size(), expected.size());
            for (size_t i = 0; i < expected.size(); ++i) {
                ASSERT_EQ(batched[i], expected[i])
                    << "kernel " << static_cast<int>(kernel) << ", " << v.width << "x" << v.height
                    << ", shot " << i / 2 << (i % 2 ? " (column tops)" : " (pixels)");
            }
        }
    }
}

TEST_F(RayBatchTest, SameFramesOverOutlinesThatCrossEachOther) {
    test::PackFile file("raybatch_crossing", noisyTextures(8));
    for (uint32_t seed : {5u, 17u, 29u}) {
        const Ref<VpolyTerrain> terrain = crossingGround(seed, 8);
        const std::vector<Shot> shots = shotsOver(seed + 1, 12);
        const auto expected =
            drawShots(RayBatch::Kernel::none, terrain, file.pack(), 240, 320, 100, true, shots);
        for (RayBatch::Kernel kernel : kernels()) {
            const auto batched = drawShots(kernel, terrain, file.pack(), 240, 320, 100, true, shots);
            ASSERT_EQ(batched.size(), expected.size());
            for (size_t i = 0; i < expected.size(); ++i) {
                ASSERT_EQ(batched[i], expected[i])
                    << "seed " << seed << ", kernel " << static_cast<int>(kernel) << ", shot " << i / 2;
            }
        }
    }
}

TEST_F(RayBatchTest, MissingTexturesAndAFlatMapWithoutShapes) {
    // Images the pack does not have draw black in both casters; a map with no
    // outlines is one region.
    test::PackFile file("raybatch_short", noisyTextures(3));
    Ref<VpolyTerrain> flat = make<VpolyTerrain>();
    flat->beginShapes(512, 512, 64, 8);
    flat->endShape();
    for (int32_t i = 0; i < 8; ++i) {
        flat->setPaletteImage(i, nullptr, 2 + i);
    }
    flat->buildHeightMap();
    const std::vector<Shot> shots = shotsOver(5, 8);
    for (const Ref<VpolyTerrain>& terrain : {flat, hillyGround(3, 12)}) {
        const auto expected =
            drawShots(RayBatch::Kernel::none, terrain, file.pack(), 80, 60, 30, true, shots);
        for (RayBatch::Kernel kernel : kernels()) {
            EXPECT_EQ(drawShots(kernel, terrain, file.pack(), 80, 60, 30, true, shots), expected);
        }
    }
}

TEST(RegionCells, AgreeWithTheSpanLookup) {
    const Ref<VpolyTerrain> terrain = hillyGround(21, 8);
    const uint8_t* cells = terrain->regionCells();
    ASSERT_NE(cells, nullptr);
    const int32_t perPixel = 1 << VpolyTerrain::regionCellShift;
    ASSERT_EQ(terrain->regionCellWidth(), 512 * perPixel);
    ASSERT_EQ(terrain->regionCellRows(), 512);
    Dice dice(4);
    int32_t mixed = 0;
    for (int32_t i = 0; i < 200000; ++i) {
        const fixed x = dice.below(512 * one);
        const fixed z = dice.below(512 * one);
        terrain->resetSpanMemo();
        const int32_t expected = terrain->spanAt(x, z);
        EXPECT_EQ(terrain->spanIndexAt(x, z), expected) << x << ", " << z;
        const uint8_t cell = cells[(z >> 15) * 512 * perPixel + (x >> (15 - VpolyTerrain::regionCellShift))];
        if (cell == VpolyTerrain::mixedCell) {
            ++mixed;
        } else if (cell >= VpolyTerrain::firstMixedCell) {
            ++mixed;
            EXPECT_EQ(terrain->spanIndexFrom(x, z, cell - VpolyTerrain::firstMixedCell), expected)
                << x << ", " << z;
        } else {
            EXPECT_EQ(cell, expected) << x << ", " << z;
        }
    }
    // Outlines cross a small share of the pixels.
    EXPECT_GT(mixed, 0);
    EXPECT_LT(mixed, 200000 / 5);
}

TEST(RegionCells, OverCrossingOutlinesAnswerWhatTheSpanLookupAnswersInAnyOrder) {
    const Ref<VpolyTerrain> terrain = crossingGround(41, 8);
    const uint8_t* cells = terrain->regionCells();
    ASSERT_NE(cells, nullptr);
    const int32_t perPixel = 1 << VpolyTerrain::regionCellShift;
    Dice dice(8);
    int32_t overlappingRows = 0;
    for (int32_t row = 0; row < 512; ++row) {
        overlappingRows += terrain->rowOverlaps(row) ? 1 : 0;
    }
    EXPECT_GT(overlappingRows, 50);  // the test means something
    for (int32_t i = 0; i < 100000; ++i) {
        const fixed x = dice.below(512 * one);
        const fixed z = dice.below(512 * one);
        // Whatever was looked up before (the cursor and the memo it leaves), the answer
        // is the point's own.
        const int32_t canonical = terrain->spanIndexAt(x, z);
        terrain->spanAt(dice.below(512 * one), z);
        ASSERT_EQ(terrain->indexAt(x, z), canonical) << x << ", " << z;
        terrain->spanAt(dice.below(512 * one), z);
        ASSERT_EQ(terrain->spanAt(x, z), canonical) << x << ", " << z;
        ASSERT_EQ(terrain->indexAt(x, z), canonical) << x << ", " << z;
        const uint8_t cell = cells[(z >> 15) * 512 * perPixel + (x >> (15 - VpolyTerrain::regionCellShift))];
        if (cell == VpolyTerrain::mixedCell) {
            continue;
        }
        if (cell >= VpolyTerrain::firstMixedCell) {
            ASSERT_EQ(terrain->spanIndexFrom(x, z, cell - VpolyTerrain::firstMixedCell), canonical)
                << x << ", " << z;
        } else {
            ASSERT_EQ(cell, canonical) << x << ", " << z;
        }
    }
}

TEST(RegionCells, FollowChangesOfTheMap) {
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    terrain->beginShapes(64, 32, 64, 4);
    terrain->endShape();
    const uint8_t* empty = terrain->regionCells();
    ASSERT_NE(empty, nullptr);
    const int32_t perPixel = 1 << VpolyTerrain::regionCellShift;
    const int32_t width = 64 * perPixel;
    EXPECT_EQ(terrain->regionCellWidth(), width);
    EXPECT_EQ(empty[10 * width + 20 * perPixel], 0);
    // A square of fill 2 from (10, 5) to (30, 25).
    terrain->addLine(10 * one, 5 * one, 10 * one, 25 * one, 2, 0);
    terrain->addLine(30 * one, 25 * one, 30 * one, 5 * one, 2, 0);
    terrain->endShape();
    const uint8_t* square = terrain->regionCells();
    EXPECT_EQ(square[10 * width + 20 * perPixel], 2);
    EXPECT_EQ(square[10 * width + 5 * perPixel], 0);
    EXPECT_EQ(square[10 * width + 40 * perPixel], 0);
    // The edge's cell names the row's first crossing (k = 0).
    EXPECT_EQ(square[10 * width + 10 * perPixel], VpolyTerrain::firstMixedCell);
    EXPECT_EQ(square[10 * width + 30 * perPixel], VpolyTerrain::firstMixedCell + 1);
    // The cell just left of the edge at x = 10 lies wholly outside it.
    EXPECT_EQ(square[10 * width + 10 * perPixel - 1], 0);
    // A map too large for the cells has none.
    terrain->setSize(8192, 8192);
    EXPECT_EQ(terrain->regionCells(), nullptr);
}

}  // namespace
}  // namespace fairholm
