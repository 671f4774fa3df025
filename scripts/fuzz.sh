#!/usr/bin/env bash
# Runs every fuzz target built in BUILD for SECONDS each, starting from its
# seed corpus under fuzz/corpus/, and prints the executions of each. New
# inputs go to BUILD/corpus/NAME (the committed corpus stays as it is); a
# crash is kept in BUILD/crashes/ and fails the run.
set -uo pipefail
build=${1:?usage: fuzz.sh BUILD SECONDS}
seconds=${2:?usage: fuzz.sh BUILD SECONDS}
root=$(cd "$(dirname "$0")/.." && pwd)
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1

failed=0
summary=""
for exe in "$build"/*_fuzz; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe" _fuzz)
  work="$build/corpus/$name"
  mkdir -p "$work" "$build/crashes"
  log="$build/$name.log"
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$name-" "$work" "$root/fuzz/corpus/$name" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ "$status" -ne 0 ]; then
    failed=1
    echo "fuzz: $name failed (status $status); the end of $log:"
    tail -n 30 "$log"
  fi
  summary+=$(printf '%-14s %12s executions in %ss%s' "$name" "${runs:-?}" "$seconds" \
    "$([ "$status" -ne 0 ] && echo '  FAILED')")$'\n'
done
printf '%s' "$summary"
exit "$failed"
