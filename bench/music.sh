#!/usr/bin/env bash
# Music's cost: the demo runs in a virtual X server with SDL's disk audio
# driver standing in for a sound card (it renders and writes at a real
# device's pace). Once the game waits for the player at its first message,
# with the opening's music playing, prints the CPU time used over 10 s as a
# share of one core and the program's peak resident memory. Then how soon
# music is heard after the script asks for it (audio_latency). Speed is
# reported, never judged.
#
#   bench/music.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
measure_s=10
command -v xvfb-run >/dev/null || { echo "music: xvfb-run is not installed" >&2; exit 2; }

work=$(mktemp -d)
runner=""
pid=""
cleanup() {
  if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid" 2>/dev/null || true; fi
  if [[ -n "$runner" ]]; then wait "$runner" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/data"
cp "$build"/data/* "$work/data/"

SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null xvfb-run -a -s "-screen 0 1280x1024x24" \
  sh -c 'echo $$ > "$0"; exec "$@"' "$work/pid" "$build/kovan" --data "$work/data" \
  --trace "$work/trace.jsonl" >"$work/log" 2>&1 &
runner=$!
for _ in $(seq 50); do [[ -s "$work/pid" ]] && break; sleep 0.1; done
pid=$(cat "$work/pid")
for _ in $(seq 600); do
  grep -q '"ev":"wait"' "$work/trace.jsonl" 2>/dev/null && break
  sleep 0.1
done
if ! grep -q '"ev":"music","op":"play"' "$work/trace.jsonl"; then
  echo "music: no music played; the log says:" >&2
  iconv -f CP932 -t UTF-8 "$work/data/kovan.log" | tail -n 3 >&2
  exit 1
fi
sleep 1

cpu_ticks() {
  local stat
  stat=$(<"/proc/$1/stat")
  stat=${stat##*) }
  awk '{ print $12 + $13 }' <<<"$stat"
}
t0=$(date +%s.%N)
c0=$(cpu_ticks "$pid")
sleep "$measure_s"
c1=$(cpu_ticks "$pid")
t1=$(date +%s.%N)
awk -v c0="$c0" -v c1="$c1" -v hz="$(getconf CLK_TCK)" -v t0="$t0" -v t1="$t1" -v n="$measure_s" \
  'BEGIN { printf "CPU with music playing while the game waits: %.2f %% of one core over %d s\n", 100 * (c1 - c0) / hz / (t1 - t0), n }'
awk '/VmHWM/ { printf "peak resident memory with music playing: %.1f MB\n", $2 / 1024 }' "/proc/$pid/status"
kill -TERM "$pid"
wait "$runner" || true
runner=""

"$build/audio_latency" "$build/data" 2>/dev/null
