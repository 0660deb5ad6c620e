#!/usr/bin/env bash
# make fuzz: builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build/fuzz and runs each one for FUZZ_SECONDS seconds
# (default 120) from a copy of its seed corpus (fuzz/corpus/<Name>/, with the dictionary
# fuzz/dict/<Name>.dict where there is one). Prints a line per target: executions,
# executions per second, coverage (edges and features) and findings. Anything found is
# written to fuzz/crashes/<Name>/, where `make test` replays it (ctest fuzz.<Name>).
# FUZZ_TARGETS="VilibFuzz VfontFuzz" picks targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${FUZZ_SECONDS:-120}
jobs=${JOBS:-$(nproc)}
build=build/fuzz
targets=${FUZZ_TARGETS:-$(cd fuzz && ls *Fuzz.cpp | sed 's/\.cpp$//')}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DFAIRHOLM_FUZZ=ON -DFAIRHOLM_BENCH=OFF -DFAIRHOLM_WERROR=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" -j "$jobs" --target $targets

printf '%-22s %12s %9s %8s %8s %s\n' target executions exec/s edges features findings
status=0
for target in $targets; do
    work=$(mktemp -d)
    cp -r "fuzz/corpus/$target/." "$work/" 2>/dev/null || true
    crashes="fuzz/crashes/$target"
    mkdir -p "$crashes"
    before=$(ls "$crashes" | wc -l)
    dict=()
    if [ -f "fuzz/dict/$target.dict" ]; then
        dict=(-dict="fuzz/dict/$target.dict")
    fi
    log="$work.log"
    "$build/bin/$target" "$work" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 \
        -timeout=25 -artifact_prefix="$crashes/" "${dict[@]}" >"$log" 2>&1 || true
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    edges=$(grep -oE 'cov: [0-9]+' "$log" | tail -n 1 | cut -d' ' -f2)
    features=$(grep -oE 'ft: [0-9]+' "$log" | tail -n 1 | cut -d' ' -f2)
    found=$(( $(ls "$crashes" | wc -l) - before ))
    [ -z "$(ls -A "$crashes")" ] && rmdir "$crashes"
    printf '%-22s %12s %9s %8s %8s %s\n' "$target" "${runs:-?}" "${speed:-?}" "${edges:-?}" "${features:-?}" "$found"
    if [ "$found" -gt 0 ]; then
        status=1
        grep -m 5 -E 'ERROR|SUMMARY|runtime error' "$log" || true
    fi
    rm -rf "$work" "$log"
done
exit $status
