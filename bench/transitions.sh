#!/usr/bin/env bash
# Real-clock figures of the transitions on an X server (Xvfb): the game
# plays a scenario of place changes only, one for each transition code, and
# the "place" events of its trace give the time each took. Prints, per code,
# the wall time against the pacing's minimum and their ratio (goal: at most
# 1.05 for the paced codes, HB under 300 ms).
#
# Then the same codes, and "BI" (which the game uses only in its opening),
# run through the scene alone in transitions_real (built with the benchmarks).
#
#   bench/transitions.sh [BUILD_DIR [SCREEN [PROGRAM_OPTION ...]]]
#   (SCREEN is the virtual screen, 1280x1024 unless given; the options go to
#   the game, e.g. --full-screen, and leave out the scene-alone part)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
screen=${2:-1280x1024}
shift $(($# > 2 ? 2 : $#))
xvfb=(xvfb-run -a -s "-screen 0 ${screen}x24")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$build"/data/* "$work"/ 2>/dev/null || true
rm -f "$work/.stamp"

codes=(DI VB HB HC BC IC DK MS XX)
{
  place=1
  for code in "${codes[@]}"; do
    [ "$place" -eq 11 ] && place=12  # the tall opening picture
    echo "1000,,,$place,,,,,$code,,,,"
    place=$((place + 1))
  done
  echo "1000,e,,,,,,,,,,,"
  echo "1000,,,,,,,,,,,,"  # the last line only ends the scenario: "e" must come before it
} > "$work/scenario.csv"
"$build/kovan-tool" encode "$work/scenario.csv" "$work/91.dat" > /dev/null

timeout 300 "${xvfb[@]}" "$build/kovan" --data "$work" --trace "$work/game.trace" "$@" \
  > /dev/null 2>&1 || true

minimum() {
  case $1 in
    DI) echo 500 ;; VB) echo 805 ;; HC) echo 2150 ;; BC) echo 400 ;;
    IC) echo 100 ;; MS) echo 810 ;; BI) echo 2000 ;; *) echo 0 ;;
  esac
}

if grep -q '"ev":"place"' "$work/game.trace" 2>/dev/null; then
  echo "the game, real clock (place events of its trace):"
  printf '%-4s %10s %10s %8s\n' code "wall ms" minimum ratio
  grep '"ev":"place"' "$work/game.trace" |
    sed -E 's/.*"effect":"([^"]*)".*"ms":([0-9]+).*/\1 \2/' |
    while read -r code ms; do
      min=$(minimum "$code")
      if [ "$min" -gt 0 ]; then
        awk -v c="$code" -v w="$ms" -v m="$min" 'BEGIN { printf "%-4s %10d %10d %8.3f\n", c, w, m, w / m }'
      else
        printf '%-4s %10d %10s %8s\n' "$code" "$ms" - -
      fi
    done
else
  echo "the game traced no place changes"
fi

[ $# -gt 0 ] && exit 0
echo
echo "the scene alone, real clock:"
program="$build/transitions_real"
timeout 300 "${xvfb[@]}" "$program" --data "$work" --codes "$(IFS=,; echo "${codes[*]} BI" | tr ' ' ',')"
