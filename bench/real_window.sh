#!/usr/bin/env bash
# The real window's figures beside their goals, the demo in a virtual X
# server (software GL where GL is asked for): how soon the window is mapped
# and first painted after exec (median of several runs, watched from the X
# server's side), what the game costs while it waits for a click (CPU,
# repaints and their rectangles) windowed and full screen, its peak and
# anonymous (heap) memory without and with music, and the transitions'
# ratio to their pacing minimum windowed and full screen. Figures are
# printed, never judged.
#
#   bench/real_window.sh [BUILD_DIR [PROGRAM_OPTION ...]]
#   (options go to the program: --renderer opengl measures the GL path)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
shift $(($# > 0 ? 1 : 0))
here=$(cd "$(dirname "$0")" && pwd)
runs=15
command -v xvfb-run >/dev/null || { echo "real_window: xvfb-run is not installed" >&2; exit 2; }
[[ -x "$build/window_watch" ]] || { echo "real_window: no $build/window_watch" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A fresh copy of the demo data (the game writes its log and saves there)
# whose story, after the opening, starts music 1, shows a place and waits
# at its first message with the marker blinking.
{
  echo "1000,aA,,,,,,,,,,,"
  echo "1000,,,14,,,,,DI,,,,"
  echo '1000,,,,,,,,"春の朝。学校へ続く坂道に、桜の花びらが舞っている。",,,,'
  echo '1000,,,,,,,,"坂の途中で、ふと自分の名前を確かめるように思い浮かべた。",,,,'
  echo "1000,e,,,,,,,,,,,"
  echo "1000,,,,,,,,,,,,"
} >"$work/scenario.csv"
"$build/kovan-tool" encode "$work/scenario.csv" "$work/91.dat" >/dev/null
fresh_data() {
  rm -rf "$work/data" "$work/trace.jsonl"
  mkdir "$work/data"
  cp "$build"/data/* "$work/data/"
  cp "$work/91.dat" "$work/data/91.dat"
}

# window_watch under a virtual screen of the given size; extra arguments
# before "--" go to the watcher, after it to the program. A desktop has a
# session bus, which SDL asks for its input method: without one, each
# start would try to launch a bus first.
session=()
command -v dbus-run-session >/dev/null && session=(dbus-run-session --)
watch() {
  local screen=$1
  shift
  "${session[@]}" xvfb-run -a -s "-screen 0 ${screen}x24" "$build/window_watch" "$@"
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
figure() { awk -v k="$1" '$1 == k { print $2 }' "$2"; }
row() { printf '  %-52s %10s   goal %s\n' "$1" "$2" "$3"; }

echo "real window, options: ${*:-(none)}"
for i in $(seq "$runs"); do
  fresh_data
  SDL_AUDIODRIVER=none watch 1280x1024 -- "$build/kovan" --data "$work/data" "$@" \
    >"$work/start.$i" 2>/dev/null
done
row "exec -> window mapped (median of $runs), ms" "$(cat "$work"/start.* | figure mapped_ms /dev/stdin | median)" "<= 70"
row "exec -> first paint (median of $runs), ms" "$(cat "$work"/start.* | figure painted_ms /dev/stdin | median)" "<= 100"

# One idle measurement: SCREEN AUDIO_DRIVER OUTPUT [PROGRAM_OPTION ...]
idle() {
  local screen=$1 audio=$2 out=$3
  shift 3
  fresh_data
  SDL_AUDIODRIVER=$audio SDL_DISKAUDIOFILE=/dev/null watch "$screen" --measure 10 \
    --ready "$work/trace.jsonl" '"ev":"wait"' -- \
    "$build/kovan" --data "$work/data" --trace "$work/trace.jsonl" "$@" >"$out" 2>/dev/null
}
rects() { awk '$1 == "repaint_rect" { printf "%s%s (%d)", sep, $2, $3; sep = ", " }' "$1"; }

idle 1280x1024 none "$work/quiet" "$@"
row "peak resident memory without music (VmHWM), MB" "$(figure peak_rss_mb "$work/quiet")" "<= 30"
row "anonymous memory (heap) without music, MB" "$(figure anon_mb "$work/quiet")" "<= 12"
row "idle CPU waiting for a click, windowed, % of a core" "$(figure idle_cpu_percent "$work/quiet")" "<= 0.3"
row "repaints per second while waiting, windowed" "$(figure repaints_per_s "$work/quiet")" "the marker's only"
echo "    rectangles: $(rects "$work/quiet")"

idle 1280x1024 disk "$work/music" "$@"
row "peak resident memory with music playing, MB" "$(figure peak_rss_mb "$work/music")" "<= 45"
row "anonymous memory (heap) with music playing, MB" "$(figure anon_mb "$work/music")" "-"

idle 1920x1080 none "$work/full" --full-screen "$@"
row "idle CPU waiting for a click, full screen 1920x1080, %" "$(figure idle_cpu_percent "$work/full")" "<= windowed"
row "repaints per second while waiting, full screen" "$(figure repaints_per_s "$work/full")" "the marker's only"
echo "    rectangles: $(rects "$work/full")"

# The transitions' worst ratio to their pacing minimum.
worst() { awk '$4 ~ /^[0-9.]+$/ && $4 > w { w = $4 } END { printf "%.3f", w }'; }
"$here/transitions.sh" "$build" 1280x1024 "$@" | sed -n '/^the game/,/^$/p' >"$work/tr.window"
"$here/transitions.sh" "$build" 1920x1080 --full-screen "$@" | sed -n '/^the game/,/^$/p' >"$work/tr.full"
row "transitions, worst ratio to pacing minimum, windowed" "$(worst <"$work/tr.window")" "<= 1.05"
row "transitions, worst ratio, full screen 1920x1080" "$(worst <"$work/tr.full")" "<= 1.05"
