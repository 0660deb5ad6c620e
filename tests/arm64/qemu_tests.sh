#!/usr/bin/env bash
# The tests of the arm64 cross build (make arm64: the engine's tests and golden runs,
# under qemu-aarch64), run from the native ctest. Skipped (77) when that build is not there.
#
#   qemu_tests.sh CTEST BUILD_DIR
set -euo pipefail
ctest=$1
build=$2

if [ ! -f "$build/CTestTestfile.cmake" ] || [ ! -x "$build/bin/fairholm-headless" ]; then
    echo "arm64: no cross build in $build (make arm64 makes it)"
    exit 77
fi
# One test at a time: this test has one slot of the native run.
"$ctest" --test-dir "$build" --output-on-failure --timeout 300
