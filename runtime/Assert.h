#pragma once

// FAIRHOLM_ASSERT(condition) checks an invariant whose breaking would otherwise go on
// silently corrupting state (a count gone negative, a broken parent link, a table index
// out of range). It is active in builds without NDEBUG (the debug, asan and tsan
// presets) and in any build that defines FAIRHOLM_ASSERTIONS; elsewhere it compiles to
// nothing and its condition is not evaluated.
#if defined(NDEBUG) && !defined(FAIRHOLM_ASSERTIONS)
#define FAIRHOLM_ASSERT(condition) static_cast<void>(0)
#else
#define FAIRHOLM_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : ::fairholm::assertionFailed(#condition, __FILE__, __LINE__))
#endif

namespace fairholm {

// Prints the broken condition and where it was checked to the standard error, then
// aborts.
[[noreturn]] void assertionFailed(const char* condition, const char* file, int line);

}  // namespace fairholm
