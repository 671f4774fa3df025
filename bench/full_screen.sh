#!/usr/bin/env bash
# Full screen on virtual X servers of today's sizes: the time one frame of
# the scaled picture takes (present_real, built with the benchmarks), and
# the game's CPU while it waits for a click, windowed against full screen.
# Speed is reported, never judged.
#
#   bench/full_screen.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
command -v xvfb-run >/dev/null || { echo "full_screen: xvfb-run is not installed" >&2; exit 2; }

for screen in 1920x1080 3840x2160; do
  echo "screen $screen, frame times:"
  for mode in "" "--full-screen --filter auto" "--full-screen --filter nearest" \
    "--full-screen --filter linear"; do
    # shellcheck disable=SC2086 # the mode is a list of options
    timeout 300 xvfb-run -a -s "-screen 0 ${screen}x24" "$build/present_real" $mode
  done
  "$here/idle_cpu.sh" "$build" "$screen" | grep '^idle'
  "$here/idle_cpu.sh" "$build" "$screen" --full-screen | grep '^idle'
done
