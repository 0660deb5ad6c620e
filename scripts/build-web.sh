#!/bin/sh
# Builds the browser version (platform/web) with Debian's emscripten into OUT: index.html,
# fairholm.js, fairholm.wasm and fairholm.data, the data files of a native build preloaded.
#
#   scripts/build-web.sh [DATA_DIR] [OUT] [WORK]   (build/default/bin, build/web, build/web-build)
set -e
DATA=$(realpath "${1:-build/default/bin}")
OUT=$(realpath -m "${2:-build/web}")
WORK=${3:-build/web-build}
here=$(cd "$(dirname "$0")/.." && pwd)
# Debian's emscripten finds its JavaScript parser (acorn) among Debian's node modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
if [ ! -f "$WORK/build.ninja" ] || ! grep -qx "FAIRHOLM_DATA_DIR:PATH=$DATA" "$WORK/CMakeCache.txt"; then
    emcmake cmake -S "$here/platform/web" -B "$WORK" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DFAIRHOLM_DATA_DIR="$DATA" -DFAIRHOLM_WEB_DIR="$OUT" >/dev/null
fi
cmake --build "$WORK"
