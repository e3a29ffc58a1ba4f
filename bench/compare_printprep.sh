#!/usr/bin/env bash
# Times the batch tool's black-and-white print preparation of a 40-megapixel
# CAD-like drawing from file to file (decode PNG, process, encode PNG)
# against libvips turning the same file into black and white, and prints the
# ratio. Runs alternate between the two tools so that load from other work on
# the machine falls on both alike.
#
#   bench/compare_printprep.sh [BUILD_DIR] [RUNS] [WIDTH HEIGHT]
set -euo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${1:-$REPO_ROOT/build}"
RUNS="${2:-5}"
WIDTH="${3:-8000}"
HEIGHT="${4:-5000}"

IMGJOIN="$BUILD_DIR/tools/imgjoin"
JOINBENCH="$BUILD_DIR/bench/joinbench"
for tool in "$IMGJOIN" "$JOINBENCH"; do
    [[ -x $tool ]] || { echo "error: $tool is missing; build the targets imgjoin and joinbench" >&2; exit 1; }
done
command -v vips >/dev/null || { echo "error: vips is missing (package libvips-tools)" >&2; exit 1; }

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
INPUT="$WORK/drawing.png"
QT_QPA_PLATFORM=offscreen "$JOINBENCH" --make-drawing "$INPUT" "$WIDTH" "$HEIGHT"
echo "input: ${WIDTH}x${HEIGHT} CAD-like drawing, $(stat -c %s "$INPUT") bytes"

# Wall time of one command in milliseconds.
time_ms() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ours=()
theirs=()
for ((i = 0; i < RUNS; i++)); do
    ours+=("$(time_ms env QT_QPA_PLATFORM=offscreen "$IMGJOIN" print-prep --job 101 "$INPUT" "$WORK/ours.png")")
    theirs+=("$(time_ms vips colourspace "$INPUT" "$WORK/theirs.png" b-w)")
done

ours_median=$(printf '%s\n' "${ours[@]}" | median)
theirs_median=$(printf '%s\n' "${theirs[@]}" | median)
echo "imgjoin print-prep --job 101: ${ours[*]} ms, median $ours_median ms ($(stat -c %s "$WORK/ours.png") bytes)"
echo "vips colourspace b-w:         ${theirs[*]} ms, median $theirs_median ms ($(stat -c %s "$WORK/theirs.png") bytes)"
awk -v a="$ours_median" -v b="$theirs_median" 'BEGIN { printf "ratio imgjoin / vips: %.2f\n", a / b }'
