#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/render3d/Vpolyn.h"

using namespace fairholm;

namespace {

constexpr fixed px(int32_t pixels) {
    return pixels << 15;
}

struct Canvas {
    int32_t width;
    int32_t height;
    IntArray pixels;
    Canvas(int32_t w, int32_t h, int32_t fill) : width(w), height(h), pixels(newIntArray(w * h)) {
        std::fill(pixels.begin(), pixels.end(), fill);
    }
    int32_t at(int32_t x, int32_t y) const { return pixels[y * width + x]; }
    void paint(const Vpolyn& p, fixed scale = 0x8000, int32_t ox = 0, int32_t oy = 0) {
        p.paintShapes(pixels, width, height, 0, 0, width, height, ox, oy, scale);
    }
};

// Closed axis-aligned rectangle, clockwise on screen, `fill` inside.
void addRect(Vpolyn& p, int32_t l, int32_t t, int32_t r, int32_t b, int32_t fill) {
    p.addLine(px(l), px(t), px(r), px(t), 0, fill);
    p.addLine(px(r), px(t), px(r), px(b), 0, fill);
    p.addLine(px(r), px(b), px(l), px(b), 0, fill);
    p.addLine(px(l), px(b), px(l), px(t), 0, fill);
}

std::vector<int32_t> rowCrossings(const Vpolyn& p, int32_t row) {
    std::vector<int32_t> out;
    for (int32_t i = p.rowStart(row); i < p.rowEnd(row); ++i) {
        out.push_back(p.edges()[i]);
    }
    return out;
}

}  // namespace

TEST(VpolynPacking, FieldsRoundTrip) {
    const int32_t c = Vpolyn::packCrossing(8191, 63, -4095);
    EXPECT_EQ(Vpolyn::crossingX(c), 8191);
    EXPECT_EQ(Vpolyn::crossingFill(c), 63);
    EXPECT_EQ(Vpolyn::crossingDx(c), -4095);
    const int32_t d = Vpolyn::packCrossing(0, 1, 4095);
    EXPECT_EQ(Vpolyn::crossingX(d), 0);
    EXPECT_EQ(Vpolyn::crossingFill(d), 1);
    EXPECT_EQ(Vpolyn::crossingDx(d), 4095);
}

TEST(VpolynPalette, AddColorFindsReusesAndStopsWhenFull) {
    auto p = make<Vpolyn>();
    p->setPaletteSize(4);
    EXPECT_EQ(p->paletteUsed(), 1);
    EXPECT_EQ(p->addColor(0), 0);  // entry 0 is still 0
    EXPECT_EQ(p->addColor(0x112233), 1);
    EXPECT_EQ(p->addColor(0x112233), 1);
    EXPECT_EQ(p->addColor(0x445566), 2);
    p->setColor(0, 0x778899);
    EXPECT_EQ(p->addColor(0x778899), 0);
    EXPECT_EQ(p->addColor(0), 3);  // entry 0 is no longer 0
    EXPECT_EQ(p->paletteUsed(), 4);
    // Full: the colour stays out and the background answers.
    EXPECT_EQ(p->addColor(0x999999), 0);
    EXPECT_EQ(p->paletteUsed(), 4);
    EXPECT_EQ(p->palette()[3], 0);
    EXPECT_EQ(p->addColor(0x445566), 2);
}

TEST(VpolynPalette, SizeIsClampedAndSetColorChecksIndex) {
    auto p = make<Vpolyn>();
    p->setPaletteSize(1000);
    EXPECT_EQ(p->paletteSize(), 64);
    EXPECT_EQ(p->imageTable().length(), 64);
    p->setPaletteSize(0);
    EXPECT_EQ(p->paletteSize(), 1);
    p->setColor(5, 0x123456);  // outside: ignored
    p->setColor(-1, 0x123456);
    EXPECT_EQ(p->paletteColor(0), 0);
    EXPECT_EQ(p->paletteColor(5), 0);
    p->setPaletteSize(3);
    p->setPaletteImage(2, nullptr, 7);
    p->setPaletteImage(9, nullptr, 8);
    EXPECT_EQ(p->imageTable()[2], 7);
}

TEST(VpolynPaint, EmptyPictureTakesBackgroundOrLeavesTarget) {
    auto p = make<Vpolyn>();
    p->beginShapes(16, 8, 64, 4);
    EXPECT_EQ(p->endShape(), 0);
    Canvas c(16, 8, 0x123456);
    c.paint(*p);
    EXPECT_TRUE(std::all_of(c.pixels.begin(), c.pixels.end(), [](int32_t v) { return v == 0x123456; }));
    p->setColor(0, 0x00FF00);
    c.paint(*p);
    EXPECT_TRUE(std::all_of(c.pixels.begin(), c.pixels.end(), [](int32_t v) { return v == 0x00FF00; }));
    EXPECT_EQ(p->colorAt(px(3), px(3)), 0x00FF00);
}

TEST(VpolynPaint, SquareTenToTwenty) {
    auto p = make<Vpolyn>();
    p->beginShapes(32, 32, 64, 4);
    const int32_t red = p->addColor(0xFF0000);
    ASSERT_EQ(red, 1);
    addRect(*p, 10, 10, 20, 20, red);
    EXPECT_EQ(p->endShape(), 20);
    for (int32_t r = 0; r < 32; ++r) {
        const std::vector<int32_t> row = rowCrossings(*p, r);
        if (r < 10 || r >= 20) {
            EXPECT_TRUE(row.empty()) << r;
            continue;
        }
        ASSERT_EQ(row.size(), 2u) << r;
        EXPECT_EQ(row[0], Vpolyn::packCrossing(160, red, 0));
        EXPECT_EQ(row[1], Vpolyn::packCrossing(320, 0, 0));
    }
    Canvas c(32, 32, 0xFFFFFF);
    c.paint(*p);
    for (int32_t y = 0; y < 32; ++y) {
        for (int32_t x = 0; x < 32; ++x) {
            const bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
            ASSERT_EQ(c.at(x, y), inside ? 0xFF0000 : 0xFFFFFF) << x << "," << y;
        }
    }
}

TEST(VpolynPaint, DiagonalOutlineBlendsHalfOverWhite) {
    auto p = make<Vpolyn>();
    p->beginShapes(40, 12, 64, 2);
    const int32_t black = p->addColor(static_cast<int32_t>(0xFF000000));
    // 45 degrees down to the right with black on its right, closed by a vertical side.
    p->addLine(px(10), px(0), px(20), px(10), black, 0);
    p->addLine(px(30), px(0), px(30), px(10), 0, black);
    p->endShape();
    Canvas c(40, 12, 0xFFFFFF);
    c.paint(*p);
    for (int32_t y = 0; y < 10; ++y) {
        EXPECT_EQ(c.at(9 + y, y), 0xFFFFFF) << y;
        EXPECT_EQ(c.at(10 + y, y), static_cast<int32_t>(0xFF7F7F7F)) << y;
        EXPECT_EQ(c.at(11 + y, y), static_cast<int32_t>(0xFF000000)) << y;
        EXPECT_EQ(c.at(29, y), static_cast<int32_t>(0xFF000000)) << y;
        EXPECT_EQ(c.at(30, y), 0xFFFFFF) << y;
    }
}

TEST(VpolynPaint, ShallowOutlineFollowsTheAreaFormulas) {
    auto p = make<Vpolyn>();
    p->beginShapes(20, 2, 64, 2);
    const int32_t black = p->addColor(static_cast<int32_t>(0xFF000000));
    // One row: from x = 10 at the top to 14 at the bottom (first and middle pixels).
    p->addLine(px(10), px(0), px(14), px(1), black, 0);
    p->addLine(px(18), px(0), px(18), px(1), 0, black);
    p->endShape();
    Canvas c(20, 2, 0xFFFFFF);
    c.paint(*p);
    EXPECT_EQ(c.at(9, 0), 0xFFFFFF);
    EXPECT_EQ(c.at(10, 0), static_cast<int32_t>(0xFFDFDFDF));  // 7/8 white
    EXPECT_EQ(c.at(11, 0), static_cast<int32_t>(0xFF9F9F9F));  // 5/8
    EXPECT_EQ(c.at(12, 0), static_cast<int32_t>(0xFF5F5F5F));  // 3/8
    EXPECT_EQ(c.at(13, 0), static_cast<int32_t>(0xFF1F1F1F));  // 1/8
    EXPECT_EQ(c.at(14, 0), static_cast<int32_t>(0xFF000000));

    // From 10 to 13.5: first, middle and last pixel, with truncating divisions.
    auto q = make<Vpolyn>();
    q->beginShapes(20, 2, 64, 2);
    q->addColor(static_cast<int32_t>(0xFF000000));
    q->addLine(px(10), px(0), px(13) + 0x4000, px(1), 1, 0);
    q->addLine(px(18), px(0), px(18), px(1), 0, 1);
    q->endShape();
    Canvas d(20, 2, 0xFFFFFF);
    d.paint(*q);
    EXPECT_EQ(d.at(10, 0), static_cast<int32_t>(0xFFDADADA));  // c = 28087
    EXPECT_EQ(d.at(11, 0), static_cast<int32_t>(0xFF919191));  // c = 18725
    EXPECT_EQ(d.at(12, 0), static_cast<int32_t>(0xFF484848));  // c = 9363
    EXPECT_EQ(d.at(13, 0), static_cast<int32_t>(0xFF090909));  // c = 1170
    EXPECT_EQ(d.at(14, 0), static_cast<int32_t>(0xFF000000));
}

TEST(VpolynPaint, BlendsBetweenTwoColoursWithinOneColumn) {
    auto p = make<Vpolyn>();
    p->beginShapes(8, 1, 16, 3);
    const int32_t blue = p->addColor(0x0000FF);
    const int32_t red = p->addColor(0xFF0000);
    // Blue from 1, red from 4.25 leaning a quarter pixel right: c = 0.25 + 0.125.
    p->addEdge(16, 0, 16, blue, true);
    p->addEdge(68, 0, 72, red, true);
    p->endShape();
    Canvas c(8, 1, 0);
    c.paint(*p);
    EXPECT_EQ(c.at(0, 0), 0);
    EXPECT_EQ(c.at(3, 0), 0x0000FF);
    // red + (blue - red) * 0.375: r = 255 - 95 - 1 (floor of -95.6), b = 95.
    EXPECT_EQ(c.at(4, 0), static_cast<int32_t>(0xFF9F005F));
    EXPECT_EQ(c.at(5, 0), 0xFF0000);
}

TEST(VpolynPaint, ScaledAndClipped) {
    auto p = make<Vpolyn>();
    p->beginShapes(32, 32, 64, 2);
    addRect(*p, 10, 10, 20, 20, p->addColor(0xFF0000));
    p->endShape();
    Canvas half(32, 32, 0);
    half.paint(*p, 0x4000);
    Canvas twice(64, 64, 0);
    twice.paint(*p, 0x10000);
    for (int32_t y = 0; y < 32; ++y) {
        for (int32_t x = 0; x < 32; ++x) {
            const bool inside = x >= 5 && x < 10 && y >= 5 && y < 10;
            ASSERT_EQ(half.at(x, y), inside ? 0xFF0000 : 0) << x << "," << y;
        }
    }
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            const bool inside = x >= 20 && x < 40 && y >= 20 && y < 40;
            ASSERT_EQ(twice.at(x, y), inside ? 0xFF0000 : 0) << x << "," << y;
        }
    }
    // Offset origin and a clip rectangle reaching beyond the target.
    Canvas shifted(16, 16, 0);
    p->paintShapes(shifted.pixels, 16, 16, -5, -5, 100, 100, -8, -8, 0x8000);
    EXPECT_EQ(shifted.at(1, 1), 0);
    EXPECT_EQ(shifted.at(2, 2), 0xFF0000);
    EXPECT_EQ(shifted.at(11, 11), 0xFF0000);
    EXPECT_EQ(shifted.at(12, 12), 0);
    // Scale 0, a missing buffer and one shorter than its rows draw nothing outside.
    p->paintShapes(shifted.pixels, 16, 16, 0, 0, 16, 16, 0, 0, 0);
    p->paintShapes(IntArray(), 16, 16, 0, 0, 16, 16, 0, 0, 0x8000);
    IntArray shortBuffer = newIntArray(16 * 12);
    p->paintShapes(shortBuffer, 16, 16, 0, 0, 16, 16, -8, -8, 0x8000);
    EXPECT_EQ(shortBuffer[11 * 16 + 11], 0xFF0000);
}

TEST(VpolynEdges, TieOrderAtASharedVertex) {
    auto p = make<Vpolyn>();
    p->beginShapes(64, 4, 64, 8);
    p->addEdge(100, 0, 110, 1, true);
    p->addEdge(100, 0, 90, 2, true);   // leans further left: before
    p->addEdge(100, 0, 80, 3, false);  // not starting here: after the equal ones
    p->addEdge(100, 0, 50, 4, true);   // smallest dx of all: first
    p->addEdge(99, 0, 200, 5, false);  // smaller x: first whatever its dx
    p->endShape();
    const std::vector<int32_t> row = rowCrossings(*p, 0);
    ASSERT_EQ(row.size(), 5u);
    EXPECT_EQ(Vpolyn::crossingFill(row[0]), 5);
    EXPECT_EQ(Vpolyn::crossingFill(row[1]), 4);
    EXPECT_EQ(Vpolyn::crossingFill(row[2]), 2);
    EXPECT_EQ(Vpolyn::crossingFill(row[3]), 1);
    EXPECT_EQ(Vpolyn::crossingFill(row[4]), 3);
}

TEST(VpolynEdges, OutlinesMeetingAtAVertexSortBySlope) {
    auto p = make<Vpolyn>();
    p->beginShapes(64, 32, 64, 2);
    // A wedge opening downward from (16, 5); the right side is added first.
    p->addLine(px(16), px(5), px(26), px(15), 0, 1);
    p->addLine(px(6), px(15), px(16), px(5), 0, 1);
    p->addLine(px(6), px(15), px(26), px(15), 0, 1);
    p->endShape();
    const std::vector<int32_t> row = rowCrossings(*p, 5);
    ASSERT_EQ(row.size(), 2u);
    EXPECT_EQ(Vpolyn::crossingX(row[0]), 256);
    EXPECT_EQ(Vpolyn::crossingDx(row[0]), -16);
    EXPECT_EQ(Vpolyn::crossingFill(row[0]), 1);
    EXPECT_EQ(Vpolyn::crossingX(row[1]), 256);
    EXPECT_EQ(Vpolyn::crossingDx(row[1]), 16);
    EXPECT_EQ(Vpolyn::crossingFill(row[1]), 0);
    EXPECT_EQ(p->colorAt(px(16) + 0x4000, px(10)), p->paletteColor(1));
}

TEST(VpolynEdges, AddLineStepsTheSlopeRowByRow) {
    auto p = make<Vpolyn>();
    p->beginShapes(64, 8, 64, 2);
    // From (1, 0) to (4, 3) upward run: stored from the top with fill1.
    p->addLine(px(4), px(3), px(1), px(0), 0, 1);
    p->endShape();
    for (int32_t r = 0; r < 3; ++r) {
        const std::vector<int32_t> row = rowCrossings(*p, r);
        ASSERT_EQ(row.size(), 1u);
        EXPECT_EQ(row[0], Vpolyn::packCrossing(16 + 16 * r, 1, 16));
    }
    EXPECT_TRUE(rowCrossings(*p, 3).empty());
    // A horizontal segment (within one row) adds nothing.
    p->beginShapes(64, 8, 64, 2);
    p->addLine(px(1), px(2), px(30), px(2) + 0x7FFF, 1, 1);
    EXPECT_EQ(p->endShape(), 0);
}

TEST(VpolynEdges, OutOfRangeRowsAndColumnsAreContained) {
    auto p = make<Vpolyn>();
    p->beginShapes(600, 10, 16, 2);
    p->addLine(px(5), px(-100), px(5), px(100), 1, 0);  // only rows 0..9
    p->addLine(px(550), px(0), px(550), px(10), 0, 1);  // x 8800 is clamped to 8191
    p->addLine(px(-3), px(0), px(-3), px(10), 0, 1);    // negative x clamps to 0
    p->addEdge(10, -1, 10, 1, true);
    p->addEdge(10, 10, 10, 1, true);
    EXPECT_EQ(p->endShape(), 30);
    for (int32_t r = 0; r < 10; ++r) {
        const std::vector<int32_t> row = rowCrossings(*p, r);
        ASSERT_EQ(row.size(), 3u);
        EXPECT_EQ(Vpolyn::crossingX(row[0]), 0);
        EXPECT_EQ(Vpolyn::crossingX(row[1]), 80);
        EXPECT_EQ(Vpolyn::crossingX(row[2]), 8191);
    }
    // dx is limited to what its 13-bit field holds, keeping its sign.
    p->beginShapes(600, 10, 16, 2);
    p->addEdge(8191, 0, -20000, 1, true);
    p->addEdge(0, 1, 20000, 1, true);
    p->addEdge(0, 2, 5000, 1, true);
    p->endShape();
    EXPECT_EQ(Vpolyn::crossingDx(rowCrossings(*p, 0)[0]), -4095);
    EXPECT_EQ(Vpolyn::crossingDx(rowCrossings(*p, 1)[0]), 4095);
    EXPECT_EQ(Vpolyn::crossingDx(rowCrossings(*p, 2)[0]), 4095);
}

TEST(VpolynEdges, GrowthBeyondCapacityKeepsEveryCrossing) {
    // Random crossings in random rows checked against a simple per-row model that
    // applies the same ordering rule.
    std::mt19937 rng(7);
    auto p = make<Vpolyn>();
    const int32_t rows = 64;
    p->beginShapes(512, rows, 16, 64);
    std::vector<std::vector<int32_t>> model(rows);
    const int32_t count = 16 + 2 * Vpolyn::growthStep + 500;
    for (int32_t n = 0; n < count; ++n) {
        const int32_t row = static_cast<int32_t>(rng() % rows);
        const int32_t x = static_cast<int32_t>(rng() % 64) * 8;
        const int32_t next = x + static_cast<int32_t>(rng() % 33) - 16;
        const int32_t fill = static_cast<int32_t>(rng() % 64);
        const bool first = (rng() & 1) != 0;
        p->addEdge(x, row, next, fill, first);
        std::vector<int32_t>& m = model[static_cast<size_t>(row)];
        size_t pos = 0;
        while (pos < m.size()) {
            const int32_t cx = Vpolyn::crossingX(m[pos]);
            if (x < cx || (x == cx && first && next - x < Vpolyn::crossingDx(m[pos]))) {
                break;
            }
            ++pos;
        }
        m.insert(m.begin() + static_cast<long>(pos), Vpolyn::packCrossing(x, fill, next - x));
        if (n % 97 == 0) {  // check mid-way too, with the gap somewhere inside
            for (int32_t r = 0; r < rows; ++r) {
                ASSERT_EQ(rowCrossings(*p, r), model[static_cast<size_t>(r)]) << n << " row " << r;
            }
        }
    }
    EXPECT_EQ(p->capacity(), 16 + 3 * Vpolyn::growthStep);
    EXPECT_EQ(p->endShape(), count);
    for (int32_t r = 0; r < rows; ++r) {
        ASSERT_EQ(rowCrossings(*p, r), model[static_cast<size_t>(r)]) << r;
    }
    // The closed table has no holes: rows follow each other from 0 to the count.
    EXPECT_EQ(p->rowStart(0), 0);
    for (int32_t r = 0; r + 1 < rows; ++r) {
        EXPECT_EQ(p->rowEnd(r), p->rowStart(r + 1));
    }
    EXPECT_EQ(p->rowEnd(rows - 1), count);
    // A new picture reuses the grown array.
    p->beginShapes(512, 32, 16, 4);
    EXPECT_EQ(p->capacity(), 16 + 3 * Vpolyn::growthStep);
    EXPECT_EQ(p->endShape(), 0);
}

TEST(VpolynEdges, ZeroCapacityGrowsOnFirstCrossing) {
    auto p = make<Vpolyn>();
    p->beginShapes(32, 32, 0, 2);
    addRect(*p, 1, 1, 5, 5, 1);
    EXPECT_EQ(p->capacity(), Vpolyn::growthStep);
    EXPECT_EQ(p->endShape(), 8);
}

TEST(VpolynLookup, ColorAtInsideOutsideAndAtTheBounds) {
    auto p = make<Vpolyn>();
    p->beginShapes(32, 24, 64, 4);
    p->setColor(0, 0x0000AA);
    const int32_t red = p->addColor(0xFF0000);
    addRect(*p, 10, 10, 20, 20, red);
    p->endShape();
    EXPECT_EQ(p->colorAt(px(15), px(15)), 0xFF0000);
    EXPECT_EQ(p->colorAt(px(10), px(10)), 0xFF0000);
    EXPECT_EQ(p->colorAt(px(20) - 1, px(20) - 1), 0xFF0000);
    EXPECT_EQ(p->colorAt(px(10) - 1, px(15)), 0x0000AA);
    EXPECT_EQ(p->colorAt(px(20), px(15)), 0x0000AA);
    EXPECT_EQ(p->colorAt(px(15), px(9)), 0x0000AA);
    // Outside the bounds: palette[0].
    EXPECT_EQ(p->colorAt(px(32), px(15)), 0x0000AA);
    EXPECT_EQ(p->colorAt(px(15), -1), 0x0000AA);
    EXPECT_EQ(p->colorAt(-1, px(15)), 0x0000AA);
    EXPECT_EQ(p->colorAt(px(15), px(24)), 0x0000AA);
    EXPECT_EQ(p->colorAt(INT32_MIN, INT32_MAX), 0x0000AA);
}

TEST(VpolynLookup, SpanMemoRecordsTheSpanAroundThePoint) {
    auto p = make<Vpolyn>();
    p->beginShapes(32, 24, 64, 4);
    addRect(*p, 10, 10, 20, 20, p->addColor(0xFF0000));
    p->endShape();
    EXPECT_EQ(p->spanAt(px(15), px(12)), 1);
    EXPECT_EQ(p->memoRow(), 12);
    EXPECT_EQ(p->memoStart(), 160);
    EXPECT_EQ(p->memoEnd(), 320);
    EXPECT_EQ(p->memoIndex(), 1);
    EXPECT_TRUE(p->memoCovers(px(19), px(12)));
    EXPECT_FALSE(p->memoCovers(px(20), px(12)));
    EXPECT_FALSE(p->memoCovers(px(15), px(13)));
    EXPECT_EQ(p->spanAt(px(25), px(12)), 0);
    EXPECT_EQ(p->memoStart(), 320);
    EXPECT_EQ(p->memoEnd(), Vpolyn::noMemoEnd);
    EXPECT_EQ(p->spanAt(px(2), px(12)), 0);
    EXPECT_EQ(p->memoStart(), 0);
    EXPECT_EQ(p->memoEnd(), 160);
    EXPECT_EQ(p->spanAt(px(2), px(2)), 0);  // empty row
    EXPECT_EQ(p->memoEnd(), Vpolyn::noMemoEnd);
    p->setMemoRow(-1);
    EXPECT_FALSE(p->memoCovers(px(2), px(2)));
}

TEST(VpolynLookup, SlantedOutlineUsesTheExactPositionWithinTheRow) {
    auto p = make<Vpolyn>();
    p->beginShapes(32, 8, 64, 2);
    // Left side from x = 4 (top of row 0) to x = 8 (bottom of row 0), then straight.
    p->addLine(px(4), px(0), px(8), px(1), 1, 0);
    p->addLine(px(8), px(1), px(8), px(4), 1, 0);
    p->addLine(px(20), px(4), px(20), px(0), 1, 0);
    p->endShape();
    // In row 0 the outline is at x = 4 + 4y.
    EXPECT_EQ(p->spanAt(px(5), 0x2000), 1);  // y = 0.25: outline at 5.0
    EXPECT_EQ(p->spanAt(px(5) - 1, 0x2000), 0);
    EXPECT_EQ(p->spanAt(px(7), 0x6000), 1);  // y = 0.75: outline at 7.0
    EXPECT_EQ(p->spanAt(px(7) - 1, 0x6000), 0);
    EXPECT_EQ(p->spanAt(px(7), 0x6001), 0);  // the outline has passed 7.0
    EXPECT_EQ(p->spanAt(px(9), 0x6000), 1);
}

TEST(VpolynLookup, AnswersDoNotDependOnThePreviousLookups) {
    auto p = make<Vpolyn>();
    p->beginShapes(128, 64, 64, 8);
    addRect(*p, 10, 5, 30, 40, p->addColor(0x111111));
    addRect(*p, 40, 10, 60, 50, p->addColor(0x222222));
    addRect(*p, 70, 0, 100, 64, p->addColor(0x333333));
    // An outline with fill on its right up to the edge of the picture.
    p->addLine(px(110), px(64), px(110), px(0), 0, p->addColor(0x444444));
    p->endShape();
    const auto truth = [](int32_t x, int32_t y) {
        if (x >= 10 && x < 30 && y >= 5 && y < 40)
            return 0x111111;
        if (x >= 40 && x < 60 && y >= 10 && y < 50)
            return 0x222222;
        if (x >= 70 && x < 100)
            return 0x333333;
        if (x >= 110)
            return 0x444444;
        return 0;
    };
    std::mt19937 rng(11);
    for (int n = 0; n < 20000; ++n) {
        const int32_t x = static_cast<int32_t>(rng() % (128 << 4)) << 11;  // 1/16 pixel steps
        const int32_t y = static_cast<int32_t>(rng() % (64 << 4)) << 11;
        ASSERT_EQ(p->colorAt(x, y), truth(x >> 15, y >> 15)) << (x >> 11) << "/16, " << (y >> 11) << "/16";
        const int32_t nearby = std::min(x + (static_cast<int32_t>(rng() % 64) << 11), px(128) - 1);
        ASSERT_EQ(p->colorAt(nearby, y), truth(nearby >> 15, y >> 15));
    }
    // The painted picture agrees with the lookups.
    Canvas c(128, 64, 0);
    c.paint(*p);
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 128; ++x) {
            ASSERT_EQ(c.at(x, y), truth(x, y)) << x << "," << y;
        }
    }
}

TEST(VpolynLifecycle, LookupsAndPaintBeforeAnyPictureAreHarmless) {
    auto p = make<Vpolyn>();
    EXPECT_EQ(p->colorAt(px(1), px(1)), 0);
    EXPECT_EQ(p->spanAt(px(1), px(1)), 0);
    EXPECT_EQ(p->endShape(), 0);
    p->addEdge(1, 0, 1, 1, true);
    p->addLine(0, 0, px(4), px(4), 1, 1);
    Canvas c(4, 4, 7);
    c.paint(*p);
    EXPECT_EQ(c.at(2, 2), 7);
}

TEST(VpolynLifecycle, ANewPictureReplacesTheOldOne) {
    auto p = make<Vpolyn>();
    p->beginShapes(32, 32, 64, 4);
    addRect(*p, 10, 10, 20, 20, p->addColor(0xFF0000));
    p->endShape();
    EXPECT_EQ(p->colorAt(px(15), px(15)), 0xFF0000);
    p->beginShapes(16, 16, 64, 2);
    EXPECT_EQ(p->paletteUsed(), 1);
    addRect(*p, 1, 1, 3, 3, p->addColor(0x00FF00));
    EXPECT_EQ(p->endShape(), 4);
    EXPECT_EQ(p->colorAt(px(15), px(15)), 0);
    EXPECT_EQ(p->colorAt(px(2), px(2)), 0x00FF00);
    // A taller picture than the first gets new row tables.
    p->beginShapes(16, 100, 64, 2);
    addRect(*p, 1, 90, 3, 99, p->addColor(0x0000FF));
    EXPECT_EQ(p->endShape(), 18);
    EXPECT_EQ(p->colorAt(px(2), px(95)), 0x0000FF);
}

TEST(VpolynSprite, PaintsAtItsLaidOutPositionAndScale) {
    auto p = make<Vpolyn>();
    p->beginShapes(32, 32, 64, 4);
    EXPECT_EQ(p->getWidth(), 32);
    EXPECT_EQ(p->widthFixed(), px(32));
    EXPECT_EQ(p->heightFixed(), px(32));
    addRect(*p, 10, 10, 20, 20, p->addColor(0xFF0000));
    const int32_t key = p->storedLayoutKey();
    p->endShape();
    EXPECT_EQ(p->storedLayoutKey(), key + 1);  // the next layout repaints it

    p->setPosition(5, 7);
    p->layout(0, 0, 0x8000);
    EXPECT_EQ(p->left(), 5);
    EXPECT_EQ(p->top(), 7);
    Canvas c(64, 64, 0);
    p->paint(c.pixels, 64, 64, p->left(), p->top(), p->right(), p->bottom());
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            const bool inside = x >= 15 && x < 25 && y >= 17 && y < 27;
            ASSERT_EQ(c.at(x, y), inside ? 0xFF0000 : 0) << x << "," << y;
        }
    }
    // At half scale under a parent the square is half as big.
    auto q = make<Vpolyn>();
    q->beginShapes(32, 32, 64, 4);
    addRect(*q, 10, 10, 20, 20, q->addColor(0x00FF00));
    q->endShape();
    q->setScale(0x4000);
    q->layout(0, 0, 0x8000);
    EXPECT_EQ(q->effectiveScale(), 0x4000);
    Canvas d(32, 32, 0);
    q->paint(d.pixels, 32, 32, q->left(), q->top(), q->right(), q->bottom());
    EXPECT_EQ(d.at(4, 4), 0);
    EXPECT_EQ(d.at(5, 5), 0x00FF00);
    EXPECT_EQ(d.at(9, 9), 0x00FF00);
    EXPECT_EQ(d.at(10, 10), 0);
}
