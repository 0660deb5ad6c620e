#include <gtest/gtest.h>

#include "runtime/Runtime.h"
#include "runtime/V.h"
#include "runtime/VirtualClock.h"

using namespace fairholm;

TEST(Runtime, VirtualClockAdvancesOnSleep) {
    auto clock = make<VirtualClock>(1000);
    Runtime::setClock(clock);
    EXPECT_EQ(Runtime::currentTimeMillis(), 1000u);
    Runtime::sleep(16);
    EXPECT_EQ(Runtime::currentTimeMillis(), 1016u);
    clock->setTime(0xFFFFFFF0u);
    Runtime::sleep(32);
    EXPECT_EQ(Runtime::currentTimeMillis() - 0xFFFFFFF0u, 32u);  // the wrap is harmless
    Runtime::setClock(nullptr);
    const uint32_t before = Runtime::currentTimeMillis();
    Runtime::sleep(2);
    EXPECT_GE(Runtime::currentTimeMillis() - before, 2u);
}

TEST(Runtime, ArrayCopyHandlesOverlap) {
    IntArray a = newIntArray(6);
    for (int i = 0; i < 6; ++i) {
        a[i] = i;
    }
    Runtime::arrayCopy(a, 0, a, 2, 4);
    EXPECT_EQ((std::vector<int32_t>(a.begin(), a.end())), (std::vector<int32_t>{0, 1, 0, 1, 2, 3}));
    Runtime::arrayCopy(a, 2, a, 0, 4);
    EXPECT_EQ((std::vector<int32_t>(a.begin(), a.end())), (std::vector<int32_t>{0, 1, 2, 3, 2, 3}));
    ByteArray b = newByteArray(3);
    ByteArray c = newByteArray(3);
    b[0] = 9;
    Runtime::arrayCopy(b, 0, c, 2, 1);
    EXPECT_EQ(c[2], 9);
}

TEST(V, UnsignedShiftUsesTheLowEightBitsOfTheCount) {
    V v;
    EXPECT_EQ(v.ushr(INT32_MIN, 31), 1u);
    EXPECT_EQ(v.ushr(INT32_MIN, 32), 0u);
    EXPECT_EQ(v.ushr(0x12345678, 256 + 4), 0x01234567u);
    EXPECT_EQ(v.ushr(-1, 24), 255u);
    EXPECT_EQ(v.ushr(-1, 0), 0xFFFFFFFFu);
}

TEST(V, Atan2MatchesTheFreeFunctionAndTraceWritesLines) {
    V v;
    EXPECT_EQ(v.atan2(32768, 32768), fx::atan2(32768, 32768));
    testing::internal::CaptureStdout();
    v.trace(*lit("pos"), 3, -4);
    v.trace(*lit("n"), 7);
    v.trace(*lit("done"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "pos 3 -4\nn 7\ndone\n");
}
