#!/usr/bin/env bash
# Peak memory (maximum resident set size, from /usr/bin/time -v) and elapsed
# time of the batch tool on large work:
#   join    60 CAD-like captures of 2560 x 1440 on a 10 x 6 grid, about
#           16000 x 12000 out;
#   stitch  a 4 x 4 grid of 2560 x 1440 tiles (10240 x 5760 out);
#   stitch  a 1 x 8 grid whose first tile is 1000 x 1000 and whose other
#           tiles are 6000 x 6000, of which only a strip lands on the canvas.
# Run after ./scripts/test (or any build into build/ with the benchmarks):
#   bench/memory_peaks.sh [WORKDIR]
# The inputs are made once in WORKDIR (default: a folder under /tmp that is
# kept, since making them takes a minute) and reused by later runs.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WORK="${1:-${TMPDIR:-/tmp}/imgjoin-memory-inputs}"
IMGJOIN="$ROOT/build/tools/imgjoin"
JOINBENCH="$ROOT/build/bench/joinbench"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$WORK/out"

mapfile -t CAPTURES < <("$JOINBENCH" --make-inputs "$WORK/captures" 60 2560 1440)
PLACED=()
for i in "${!CAPTURES[@]}"; do
    PLACED+=("${CAPTURES[$i]}@$(((i % 10) * 1493)),$(((i / 10) * 2111))")
done

# Tiles are named STEM<row><col>.png.
for r in 0 1 2 3; do
    for c in 0 1 2 3; do
        [[ -e $WORK/grid$r$c.png ]] || ln -s "${CAPTURES[$((r * 4 + c))]}" "$WORK/grid$r$c.png"
    done
done
mapfile -t SMALL < <("$JOINBENCH" --make-inputs "$WORK/small" 1 1000 1000)
[[ -e $WORK/strip00.png ]] || ln -s "${SMALL[0]}" "$WORK/strip00.png"
for c in 1 2 3 4 5 6 7; do
    [[ -e $WORK/big$c.png ]] || "$JOINBENCH" --make-drawing "$WORK/big$c.png" 6000 6000
    [[ -e $WORK/strip0$c.png ]] || ln -s "$WORK/big$c.png" "$WORK/strip0$c.png"
done

measure() { # label command... -> "label  peak MB  seconds"
    local label=$1
    shift
    /usr/bin/time -v "$@" 2>"$WORK/time.txt" >/dev/null || {
        cat "$WORK/time.txt" >&2
        return 1
    }
    local kb seconds
    kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$WORK/time.txt")
    seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }' "$WORK/time.txt")
    printf '%-34s peak %6d MB   elapsed %s\n' "$label" $((kb / 1024)) "$seconds"
}

measure "join 60 x 2560x1440 -> 15997x11995" "$IMGJOIN" join "$WORK/out/join.png" "${PLACED[@]}"
measure "stitch 4 x 4 of 2560x1440" "$IMGJOIN" stitch "$WORK/grid" 4 4 "$WORK/out/grid.png"
measure "stitch 1 x 8, tiles past the canvas" "$IMGJOIN" stitch "$WORK/strip" 1 8 "$WORK/out/strip.png"
