#!/bin/sh
# The terrain view's ray batch kernel as the browser runs it: RayBatchTest and what it
# links built with Debian's emscripten for SIMD128 (as the browser build compiles:
# no exceptions), GoogleTest from its Debian sources, run in node. Every kernel the
# build has (here the SIMD128 one) must draw the one-column caster's frames. Exits 77
# (skipped) when emscripten, node or the GoogleTest sources are missing.
#
#   ray_batch_tests.sh SOURCE_DIR WORK_DIR
set -e
root=$(cd "$1" && pwd)
work=$2
gtest=/usr/src/googletest/googletest
for tool in em++ node; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "ray batch web test: no $tool (make deps installs it)"
        exit 77
    fi
done
if [ ! -f "$gtest/src/gtest-all.cc" ]; then
    echo "ray batch web test: no GoogleTest sources in $gtest"
    exit 77
fi
# Debian's emscripten finds its JavaScript parser (acorn) among Debian's node modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
mkdir -p "$work/obj"
flags="-std=c++20 -O2 -msimd128 -fno-exceptions -fwrapv -Wall -Wextra -I$root -I$root/tests -I$gtest/include"
jobs="$work/jobs"
: > "$jobs"
for source in "$root"/runtime/*.cpp "$root"/engine/sprite/*.cpp "$root"/engine/render3d/*.cpp \
    "$root"/tools/formats/*.cpp "$root"/tests/engine/render3d/RayBatchTest.cpp; do
    name=$(echo "${source#"$root"/}" | tr / _)
    echo "em++ $flags -c $source -o $work/obj/$name.o" >> "$jobs"
done
for source in gtest-all gtest_main; do
    if [ ! -f "$work/$source.o" ]; then
        echo "em++ -std=c++17 -O2 -fno-exceptions -I$gtest/include -I$gtest -c $gtest/src/$source.cc -o $work/$source.o" >> "$jobs"
    fi
done
tr '\n' '\0' < "$jobs" | xargs -0 -P2 -n1 sh -c
# The wasm inside the .js: this node has fetch, which the loader of this emscripten
# would try on a file path.
em++ -o "$work/ray_batch_tests.js" "$work"/obj/*.o "$work/gtest-all.o" "$work/gtest_main.o" \
    -sENVIRONMENT=node -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1
exec node "$work/ray_batch_tests.js" --gtest_filter='RayBatch*'
