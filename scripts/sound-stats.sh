#!/usr/bin/env bash
# Prints sox's measurements of the generated sounds (peak, RMS, DC offset, length).
# Usage: scripts/sound-stats.sh [program directory]   (default build/default/bin)
set -euo pipefail
dir=${1:-build/default/bin}
for name in music swing hit incup water; do
    echo "== $name"
    sox -t wav "$dir/$name" -n stats 2>&1 | grep -E 'DC offset|Max level|Min level|Pk lev dB|RMS lev dB|RMS Pk dB|Length s'
done
