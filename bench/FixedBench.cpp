#include <benchmark/benchmark.h>

#include <cstdint>

#include "engine/render3d/Vector.h"
#include "runtime/Fixed.h"

using namespace fairholm;

namespace {

// Pseudo-random operands, fixed per run, so the compiler cannot fold the work away.
struct Operands {
    int32_t values[256];
    Operands() {
        uint32_t s = 12345;
        for (auto& v : values) {
            s = s * 1664525u + 1013904223u;
            v = static_cast<int32_t>(s >> 8) - (1 << 23);
        }
    }
};
const Operands operands;

template <typename F>
void run(benchmark::State& state, F&& f) {
    uint32_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f(operands.values[i & 255], operands.values[(i + 7) & 255] | 1));
        ++i;
    }
}

void BM_Mul(benchmark::State& s) {
    run(s, [](int32_t a, int32_t b) { return fx::mul(a, b); });
}
void BM_Div(benchmark::State& s) {
    run(s, [](int32_t a, int32_t b) { return fx::div(a, b); });
}
void BM_Sqrt(benchmark::State& s) {
    run(s, [](int32_t a, int32_t) { return fx::sqrt(static_cast<int64_t>(a < 0 ? -a : a) << 8); });
}
void BM_Sin(benchmark::State& s) {
    run(s, [](int32_t a, int32_t) { return fx::sin(a); });
}
void BM_Atan2(benchmark::State& s) {
    run(s, [](int32_t a, int32_t b) { return fx::atan2(a, b); });
}
void BM_VectorLength(benchmark::State& s) {
    run(s, [](int32_t a, int32_t b) { return Vector(a, b, a ^ b).length(); });
}
void BM_VectorFastLength(benchmark::State& s) {
    run(s, [](int32_t a, int32_t b) { return Vector(a, b, a ^ b).fastLength(); });
}

}  // namespace

BENCHMARK(BM_Mul);
BENCHMARK(BM_Div);
BENCHMARK(BM_Sqrt);
BENCHMARK(BM_Sin);
BENCHMARK(BM_Atan2);
BENCHMARK(BM_VectorLength);
BENCHMARK(BM_VectorFastLength);
