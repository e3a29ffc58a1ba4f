#!/usr/bin/env bash
# Times "imgjoin auto-join" on 45 made-up screen captures (1920 x 1080, from
# an 8000 x 5000 drawing, in no useful order) against "imgjoin join" of the
# same captures at their known places, alternating the two, and prints the
# medians of wall time, CPU time and peak memory, their ratio (auto-join
# should take at most twice as long) and whether the auto-joined drawing is
# the drawing pixel for pixel. The capture set is made once and kept in
# WORKDIR. Run after a build into build/:
#   bench/compare_autojoin.sh [RUNS [WORKDIR]]
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RUNS="${1:-5}"
WORK="${2:-$ROOT/build/autojoin-set}"
IMGJOIN="$ROOT/build/tools/imgjoin"
MAKESET="$ROOT/build/bench/make_capture_set"
OUT="$(mktemp -d)"
trap 'rm -rf "$OUT"' EXIT
export QT_QPA_PLATFORM=offscreen

if [[ ! -s $WORK/area.txt ]]; then
    echo "making the capture set in $WORK ..."
    "$MAKESET" --count 45 --seed 1 "$WORK"
fi
mapfile -t CAPTURES < <(find "$WORK" -name 'cap_*.png' | sort)
mapfile -t PLACED <"$WORK/positions.txt"
echo "${#CAPTURES[@]} captures, drawing area $(cat "$WORK/area.txt")"

# shellcheck source=bench/measure.sh
source "$ROOT/bench/measure.sh"

: >"$OUT/auto" && : >"$OUT/join"
for _ in $(seq "$RUNS"); do
    measure "$OUT/auto" "$IMGJOIN" auto-join "$OUT/auto.png" "${CAPTURES[@]}"
    measure "$OUT/join" "$IMGJOIN" join "$OUT/join.png" "${PLACED[@]}"
done

for tool in auto join; do
    printf 'imgjoin %-9s median wall %6.2f s  cpu %6.2f s  peak RSS %5d MB over %d runs\n' \
        "$( [[ $tool == auto ]] && echo auto-join || echo join)" \
        "$(median 1 <"$OUT/$tool")" "$(median 2 <"$OUT/$tool")" \
        "$(($(median 3 <"$OUT/$tool") / 1024))" "$RUNS"
done
printf 'ratio auto-join / join: wall %.2f, cpu %.2f (target: wall at most 2)\n' \
    "$(echo "$(median 1 <"$OUT/auto") / $(median 1 <"$OUT/join")" | bc -l)" \
    "$(echo "$(median 2 <"$OUT/auto") / $(median 2 <"$OUT/join")" | bc -l)"

# The drawing, pixel for pixel, wherever the captures cover it.
"$IMGJOIN" auto-join --report "$OUT/auto.png" "${CAPTURES[@]}" >"$OUT/report" 2>"$OUT/warnings" ||
    { cat "$OUT/warnings" >&2; exit 1; }
cat "$OUT/warnings" >&2
echo "placed $(grep -c ',[-0-9]* [01]\.[0-9][0-9]$' "$OUT/report" || true) of ${#CAPTURES[@]}"
"$MAKESET" --check "$OUT/auto.png" "$WORK" "$OUT/report"
