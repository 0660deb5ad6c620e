#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/SharedFrame.h"

using namespace fairholm;

namespace {

std::vector<int32_t> picture(int32_t width, int32_t height, int32_t base) {
    std::vector<int32_t> pixels(static_cast<size_t>(width * height));
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = base + static_cast<int32_t>(i);
    }
    return pixels;
}

int32_t at(const SharedFrame::Frame& frame, int32_t x, int32_t y) {
    return frame.pixels[static_cast<size_t>(y * frame.width + x)];
}

}  // namespace

TEST(SharedFrame, NothingToTakeBeforeTheFirstStore) {
    SharedFrame shared;
    SharedFrame::Frame frame;
    EXPECT_FALSE(shared.take(frame));
    EXPECT_EQ(frame.width, 0);
    EXPECT_TRUE(frame.pixels.empty());
}

TEST(SharedFrame, NewSizeCopiesTheWholePicture) {
    SharedFrame shared;
    const auto source = picture(4, 3, 100);
    ASSERT_TRUE(shared.store(source.data(), 12, 4, 3, 1, 1, 2, 2));
    SharedFrame::Frame frame;
    ASSERT_TRUE(shared.take(frame));
    EXPECT_EQ(frame.width, 4);
    EXPECT_EQ(frame.height, 3);
    EXPECT_EQ(frame.pixels, source);
}

TEST(SharedFrame, TakeOnlyAnswersNewPictures) {
    SharedFrame shared;
    const auto source = picture(2, 2, 0);
    shared.store(source.data(), 4, 2, 2, 0, 0, 2, 2);
    SharedFrame::Frame frame;
    EXPECT_TRUE(shared.take(frame));
    frame.pixels[0] = -1;
    EXPECT_FALSE(shared.take(frame));
    EXPECT_EQ(frame.pixels[0], -1);  // untouched
}

TEST(SharedFrame, LaterStoresCopyOnlyTheirRectangle) {
    SharedFrame shared;
    auto source = picture(4, 3, 0);
    shared.store(source.data(), 12, 4, 3, 0, 0, 4, 3);
    for (int32_t& p : source) {
        p += 1000;
    }
    ASSERT_TRUE(shared.store(source.data(), 12, 4, 3, 1, 1, 3, 2));
    SharedFrame::Frame frame;
    ASSERT_TRUE(shared.take(frame));
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && x < 3 && y == 1;
            EXPECT_EQ(at(frame, x, y), y * 4 + x + (inside ? 1000 : 0)) << x << "," << y;
        }
    }
}

TEST(SharedFrame, RectanglesAreClippedToThePicture) {
    SharedFrame shared;
    auto source = picture(4, 3, 0);
    shared.store(source.data(), 12, 4, 3, 0, 0, 4, 3);
    for (int32_t& p : source) {
        p = 7;
    }
    ASSERT_TRUE(shared.store(source.data(), 12, 4, 3, -50, 2, 9000, 9000));
    ASSERT_TRUE(shared.store(source.data(), 12, 4, 3, 3, 0, 1, 3));  // inverted: nothing
    SharedFrame::Frame frame;
    ASSERT_TRUE(shared.take(frame));
    for (int32_t x = 0; x < 4; ++x) {
        EXPECT_EQ(at(frame, x, 0), x);
        EXPECT_EQ(at(frame, x, 1), 4 + x);
        EXPECT_EQ(at(frame, x, 2), 7);
    }
}

TEST(SharedFrame, ResizeReplacesThePicture) {
    SharedFrame shared;
    const auto small = picture(2, 2, 0);
    shared.store(small.data(), 4, 2, 2, 0, 0, 2, 2);
    const auto large = picture(3, 5, 50);
    ASSERT_TRUE(shared.store(large.data(), 15, 3, 5, 0, 0, 1, 1));
    SharedFrame::Frame frame;
    ASSERT_TRUE(shared.take(frame));
    EXPECT_EQ(frame.width, 3);
    EXPECT_EQ(frame.height, 5);
    EXPECT_EQ(frame.pixels, large);
}

TEST(SharedFrame, RefusesSourcesShorterThanTheirSize) {
    SharedFrame shared;
    const auto source = picture(4, 3, 0);
    EXPECT_FALSE(shared.store(source.data(), 11, 4, 3, 0, 0, 4, 3));
    EXPECT_FALSE(shared.store(nullptr, 12, 4, 3, 0, 0, 4, 3));
    EXPECT_FALSE(shared.store(source.data(), 12, 0, 3, 0, 0, 4, 3));
    EXPECT_FALSE(shared.store(source.data(), 12, 4, -3, 0, 0, 4, 3));
    EXPECT_FALSE(shared.store(source.data(), 12, 65536, 65536, 0, 0, 4, 3));  // product overflows
    EXPECT_FALSE(shared.store(source.data(), -1, 4, 3, 0, 0, 4, 3));
    SharedFrame::Frame frame;
    EXPECT_FALSE(shared.take(frame));
}

// The game thread stores whole pictures of one value each while the window thread takes
// them: every picture taken is one of the stored ones, never a mix.
TEST(SharedFrame, PicturesCrossThreadsWhole) {
    SharedFrame shared;
    constexpr int32_t width = 64;
    constexpr int32_t height = 48;
    std::atomic<bool> done{false};
    std::thread game([&] {
        std::vector<int32_t> source(width * height);
        for (int32_t value = 1; value <= 2000; ++value) {
            for (int32_t& p : source) {
                p = value;
            }
            shared.store(source.data(), width * height, width, height, 0, 0, width, height);
        }
        done.store(true);
    });
    SharedFrame::Frame frame;
    int32_t last = 0;
    int32_t taken = 0;
    for (;;) {
        const bool finished = done.load();
        if (!shared.take(frame)) {
            if (finished) {
                break;
            }
            std::this_thread::yield();
            continue;
        }
        ++taken;
        ASSERT_EQ(frame.pixels.size(), static_cast<size_t>(width * height));
        const int32_t value = frame.pixels[0];
        for (int32_t p : frame.pixels) {
            ASSERT_EQ(p, value);
        }
        EXPECT_GE(value, last);  // pictures arrive in order
        last = value;
    }
    EXPECT_EQ(last, 2000);  // the last picture always arrives
    game.join();
    EXPECT_GT(taken, 0);
}
