// Invariant checks: a broken one stops the program with the condition and its place.
#include <gtest/gtest.h>

#include "runtime/Array.h"

// This file checks the macro itself with the checks on, whatever the build.
#undef FAIRHOLM_ASSERT
#define FAIRHOLM_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : ::fairholm::assertionFailed(#condition, __FILE__, __LINE__))

using namespace fairholm;

TEST(AssertionsDeathTest, ABrokenConditionAbortsNamingItAndItsPlace) {
    const int count = -1;
    EXPECT_DEATH(FAIRHOLM_ASSERT(count >= 0), "AssertTest.cpp:[0-9]+: assertion failed: count >= 0");
    FAIRHOLM_ASSERT(count < 0);  // a holding condition does nothing
}

#if !defined(NDEBUG) || defined(FAIRHOLM_ASSERTIONS)
// Where the runtime checks its invariants (builds with the checks on: debug, asan, tsan).
TEST(AssertionsDeathTest, ArraysCheckTheirIndexes) {
    ByteArray bytes = newByteArray(4);
    EXPECT_DEATH(bytes[4] = 1, "index < m_length");
    EXPECT_DEATH(bytes[-1] = 1, "index >= 0");
    bytes[3] = 1;
}
#endif
