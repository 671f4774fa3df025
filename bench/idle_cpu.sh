#!/usr/bin/env bash
# The window's cost while the game idles: the demo runs in a virtual X
# server, is left alone for a while, and the CPU time it used over 10 s of
# wall time is printed as a share of one core. Then it is asked to end
# (SIGTERM) and must do so. Speed is reported, never judged.
#
# usage: bench/idle_cpu.sh BUILD_DIR [SCREEN [PROGRAM_OPTION ...]]
#   SCREEN is the virtual screen's size (1280x1024 unless given); the options
#   go to the program (e.g. --full-screen).
set -euo pipefail

build=${1:?usage: bench/idle_cpu.sh BUILD_DIR [SCREEN [PROGRAM_OPTION ...]]}
screen=${2:-1280x1024}
shift $(($# > 1 ? 2 : 1))
kovan="$build/kovan"
startup_limit_s=60
measure_s=10
exit_wait_s=10

if [[ ! -x "$kovan" ]]; then
  echo "idle_cpu: no program at $kovan" >&2
  exit 2
fi
if [[ ! -d "$build/data" ]]; then
  echo "idle_cpu: no demo data in $build/data" >&2
  exit 2
fi
command -v xvfb-run >/dev/null || { echo "idle_cpu: xvfb-run is not installed" >&2; exit 2; }

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

# The program's own pid, not xvfb-run's: the shell writes its pid and
# becomes the program.
xvfb-run -a -s "-screen 0 ${screen}x24" \
  sh -c 'echo $$ > "$0"; exec "$@"' "$work/pid" "$kovan" --data "$work/data" \
  --trace "$work/trace.jsonl" "$@" \
  >"$work/log" 2>&1 &
runner=$!

for _ in $(seq 50); do
  [[ -s "$work/pid" ]] && break
  sleep 0.1
done
if [[ ! -s "$work/pid" ]]; then
  echo "idle_cpu: the program did not start" >&2
  cat "$work/log" >&2
  exit 1
fi
pid=$(cat "$work/pid")

# Idle means waiting for the player: past the opening, at the title screen
# (or, in a story without one, at the first message).
idle='"ev":"(wait|title)"'
for _ in $(seq $((startup_limit_s * 10))); do
  grep -qE "$idle" "$work/trace.jsonl" 2>/dev/null && break
  sleep 0.1
done
sleep 1
if ! grep -qE "$idle" "$work/trace.jsonl" 2>/dev/null; then
  echo "idle_cpu: the game never came to wait for the player" >&2
  exit 1
fi
if ! kill -0 "$pid" 2>/dev/null; then
  echo "idle_cpu: the program ended during start-up" >&2
  cat "$work/log" >&2
  exit 1
fi

# utime and stime, in clock ticks, of all the process's threads. The fields
# are counted after the command name's closing parenthesis, since the name
# may hold spaces.
cpu_ticks() {
  local stat
  stat=$(<"/proc/$1/stat")
  stat=${stat##*) }
  awk '{ print $12 + $13 }' <<<"$stat"
}

ticks_per_s=$(getconf CLK_TCK)
t0=$(date +%s.%N)
c0=$(cpu_ticks "$pid")
sleep "$measure_s"
c1=$(cpu_ticks "$pid")
t1=$(date +%s.%N)

label="$screen${*:+ $*}"
awk -v c0="$c0" -v c1="$c1" -v hz="$ticks_per_s" -v t0="$t0" -v t1="$t1" -v n="$measure_s" \
  -v label="$label" \
  'BEGIN { printf "idle CPU (%s): %.2f %% of one core over %d s\n", label, 100 * (c1 - c0) / hz / (t1 - t0), n }'

kill -TERM "$pid"
for _ in $(seq $((exit_wait_s * 10))); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "idle_cpu: the program did not end within ${exit_wait_s} s of SIGTERM" >&2
  exit 1
fi
status=0
wait "$runner" || status=$?
runner=""
echo "ended on SIGTERM with exit status $status"
