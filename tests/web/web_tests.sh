#!/bin/sh
# The browser build end to end: builds it (scripts/build-web.sh, from the program
# directory's data files) and drives it in Debian's chromium through playwright-core
# (web_test.mjs). Exits 77 (skipped) when emscripten, chromium or node is missing.
#
#   web_tests.sh SOURCE_DIR HEADLESS PROGRAM_DIR
set -e
root=$1
headless=$2
data=$3
for tool in emcc chromium node; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "web test: no $tool (make deps installs it)"
        exit 77
    fi
done
cd "$root"
scripts/build-web.sh "$data" build/web build/web-build >/dev/null
cd tests/web
if [ ! -d node_modules/playwright-core ]; then
    npm ci --no-audit --no-fund >/dev/null
fi
for file in fairholm.wasm fairholm.js fairholm.data; do
    echo "size $file $(wc -c < "$root/build/web/$file") bytes, $(gzip -9c "$root/build/web/$file" | wc -c) gzipped"
done
exec node web_test.mjs "$root/build/web" "$headless" "$data"
