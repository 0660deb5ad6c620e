#!/bin/sh
# Builds bench/TerrainWasmBench with Debian's emscripten as the browser build compiles
# (SIMD128, no exceptions) and runs it in node: the terrain view's frame time with the
# SIMD128 ray batch kernel and with the one-column caster. The wasm is inside the .js
# (this node has fetch, which the loader of this emscripten would try on a file path).
#
#   scripts/bench-web.sh [OUT] [ROUNDS] [FRAMES]   (build/web-bench, 15, 40)
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
OUT=$(realpath -m "${1:-build/web-bench}")
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
mkdir -p "$OUT"
cd "$here"
emcc -std=c++20 -O3 -DNDEBUG -msimd128 -fno-exceptions -fwrapv -Wall -Wextra -I. \
    runtime/*.cpp engine/sprite/*.cpp engine/render3d/*.cpp tools/formats/*.cpp \
    bench/TerrainCourse.cpp bench/TerrainWasmBench.cpp \
    -sENVIRONMENT=node -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864 -DFAIRHOLM_VERSION="\"$(head -n 1 VERSION)\"" \
    -o "$OUT/TerrainWasmBench.js"
node "$OUT/TerrainWasmBench.js" "${2:-15}" "${3:-40}"
