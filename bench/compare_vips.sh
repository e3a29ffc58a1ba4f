#!/usr/bin/env bash
# Times "imgjoin join" against "vips arrayjoin" on the same 20 CAD-like
# captures (5 across, 4 down, 9600 x 4320 out), alternating the two tools,
# and prints the median of each and their ratio. Run after ./scripts/test
# (or any build into build/):  bench/compare_vips.sh [RUNS]
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RUNS="${1:-7}"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen

mapfile -t FILES < <("$ROOT/build/bench/joinbench" --make-inputs "$WORK/in" 20)
PLACED=()
for i in "${!FILES[@]}"; do
    PLACED+=("${FILES[$i]}@$(((i % 5) * 1920)),$(((i / 5) * 1080))")
done

seconds() { # command... -> elapsed seconds
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

: >"$WORK/ours" && : >"$WORK/vips"
for _ in $(seq "$RUNS"); do
    seconds "$ROOT/build/tools/imgjoin" join "$WORK/ours.png" "${PLACED[@]}" >>"$WORK/ours"
    seconds vips arrayjoin "${FILES[*]}" "$WORK/vips.png" --across 5 >>"$WORK/vips"
done

OURS=$(median <"$WORK/ours")
VIPS=$(median <"$WORK/vips")
printf 'imgjoin join     median %.3f s over %d runs\n' "$OURS" "$RUNS"
printf 'vips arrayjoin   median %.3f s over %d runs\n' "$VIPS" "$RUNS"
printf 'ratio imgjoin / vips = %.2f\n' "$(echo "$OURS / $VIPS" | bc -l)"
