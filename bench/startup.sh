#!/usr/bin/env bash
# Whole-process figures: a headless start of the demo data to the end of its
# start-up (scenario loaded), then its shutdown. Prints wall time and peak
# memory of several runs.
set -euo pipefail
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build"/data/*.dat "$build"/data/*.mid "$work"/ 2>/dev/null || true
cp "$build"/data/*.txt "$work"/ 2>/dev/null || true
echo "headless start-up and shutdown of the demo (10 runs):"
for i in $(seq 10); do
  /usr/bin/time -f "%e s wall, %M KiB peak" "$build/kovan" --headless --data "$work" 2>&1 >/dev/null | tail -n 1
done | sort -n | awk '{a[NR]=$0} END {print "  fastest: " a[1]; print "  median:  " a[int((NR+1)/2)]; print "  slowest: " a[NR]}'
