#!/usr/bin/env bash
# Times the batch tool against libvips on realistic CAD screen captures and
# drawings (anti-aliased lines and text, thousands of colours; made by
# make_realistic_inputs and kept in WORKDIR), alternating the two tools run
# by run, and prints for each case the medians of wall time, CPU time
# (user + sys) and peak resident memory of both, their ratios, the sizes of
# the files written and whether the targets are met:
#
#   join20       join 20 captures of 1920x1080, 5 across, 1200 apart
#   join60       join 60 captures of 2560x1440, 10 across, 1680 apart
#   join30       join 30 captures of 3840x2160, 6 across, 2400 apart
#   filter40     filter --code 101 (invert) of an 8000x5000 drawing
#   filter192    filter --code 101 of a 16000x12000 drawing
#   printprep40  print-prep --job 101 (grey) of the 8000x5000 drawing
#
# "vips arrayjoin" gives every picture a cell of the spacing and makes the
# result across x spacing wide and down x spacing high, cutting what the
# last column and row reach past that and leaving black what no picture
# covers; later pictures lie over earlier ones, as with "imgjoin join". So
# the two results differ in size: for join20 the pixels are compared where
# both have them, ours laid on black first.
#
# Run after building imgjoin and make_realistic_inputs into build/:
#   [CASES="join20 filter40"] bench/compare_streaming.sh [RUNS [WORKDIR]]
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RUNS="${1:-5}"
WORK="${2:-$ROOT/build/realistic-inputs}"
CASES="${CASES:-join20 join60 join30 filter40 filter192 printprep40}"
IMGJOIN="$ROOT/build/tools/imgjoin"
MAKEINPUTS="$ROOT/build/bench/make_realistic_inputs"
for tool in "$IMGJOIN" "$MAKEINPUTS"; do
    [[ -x $tool ]] || { echo "error: $tool is missing; build the targets imgjoin and make_realistic_inputs" >&2; exit 1; }
done
for tool in vips vipsheader /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "error: $tool is missing (packages libvips-tools, time)" >&2; exit 1; }
done
OUT="$(mktemp -d)"
trap 'rm -rf "$OUT"' EXIT
export QT_QPA_PLATFORM=offscreen
[[ -n ${XDG_RUNTIME_DIR:-} ]] || { export XDG_RUNTIME_DIR="$OUT/runtime" && mkdir -m 700 "$XDG_RUNTIME_DIR"; }

# shellcheck source=bench/measure.sh
source "$ROOT/bench/measure.sh"

megabytes() { # file -> size in MB, one decimal, or "none"
    [[ -s $1 ]] || { echo none && return; }
    awk -v b="$(stat -c %s "$1")" 'BEGIN { printf "%.1f", b / 1048576 }'
}

header_size() { # picture -> WIDTHxHEIGHT, or "unreadable"
    local size
    if size=$(vipsheader -f width "$1" 2>/dev/null)x$(vipsheader -f height "$1" 2>/dev/null); then
        echo "$size"
    else
        echo unreadable
    fi
}

printf '%-12s | %-25s | %-25s | %-10s | %-15s | %s\n' case "ours: wall, cpu, peak" \
    "vips: wall, cpu, peak" "time  peak" "out MB ours/vips" "target (ratios ours/vips)"
# Runs both commands RUNS times, alternating, and prints the case's line.
# Uses OURS and THEIRS (arrays) and writes ours.png and vips.png in OUT.
# peak_limit: "" (none), "vips" (2 x vips + 40 MB) or a number of MB.
compare() { # name peak_limit
    local name=$1 peak_limit=$2
    : >"$OUT/ours" && : >"$OUT/vips"
    for _ in $(seq "$RUNS"); do
        measure "$OUT/ours" "${OURS[@]}"
        measure "$OUT/vips" "${THEIRS[@]}"
    done
    local ow oc op vw vc vp
    ow=$(median 1 <"$OUT/ours") oc=$(median 2 <"$OUT/ours") op=$(($(median 3 <"$OUT/ours") / 1024))
    vw=$(median 1 <"$OUT/vips") vc=$(median 2 <"$OUT/vips") vp=$(($(median 3 <"$OUT/vips") / 1024))
    local time_ratio peak_ratio
    time_ratio=$(awk -v a="$ow" -v b="$vw" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    peak_ratio=$(awk -v a="$op" -v b="$vp" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    local target=""
    if [[ $name != printprep* ]]; then
        target="time<=1.0 $(awk -v r="$time_ratio" 'BEGIN { print r <= 1.0 ? "ok" : "MISSED" }')"
    fi
    local limit=""
    [[ $peak_limit == vips ]] && limit=$((2 * vp + 40))
    [[ $peak_limit =~ ^[0-9]+$ ]] && limit=$peak_limit
    if [[ -n $limit ]]; then
        target+=", peak<=${limit}MB $( ((op <= limit)) && echo ok || echo MISSED)"
    fi
    printf '%-12s | %6.2fs %6.2fs %6d MB | %6.2fs %6.2fs %6d MB | %4s %5s | %6s / %-6s | %s\n' \
        "$name" "$ow" "$oc" "$op" "$vw" "$vc" "$vp" "$time_ratio" "$peak_ratio" \
        "$(megabytes "$OUT/ours.png")" "$(megabytes "$OUT/vips.png")" "${target:-none}"
}

# Checks that ours.png is WIDTHxHEIGHT.
check_size() { # name expected
    local got
    got=$(header_size "$OUT/ours.png")
    if [[ $got == "$2" ]]; then
        echo "  $1: ours ${got} as expected, vips $(header_size "$OUT/vips.png")"
    else
        echo "  $1: ours ${got}, expected $2 (vips $(header_size "$OUT/vips.png"))"
    fi
}

# Compares ours.png with vips.png where both have pixels, ours on black.
check_pixels() { # name
    local w h bands
    if [[ $(header_size "$OUT/ours.png") == unreadable || $(header_size "$OUT/vips.png") == unreadable ]]; then
        echo "  $1: pixels not compared, a result is missing"
        return
    fi
    w=$(( $(vipsheader -f width "$OUT/ours.png") < $(vipsheader -f width "$OUT/vips.png") ?
        $(vipsheader -f width "$OUT/ours.png") : $(vipsheader -f width "$OUT/vips.png") ))
    h=$(( $(vipsheader -f height "$OUT/ours.png") < $(vipsheader -f height "$OUT/vips.png") ?
        $(vipsheader -f height "$OUT/ours.png") : $(vipsheader -f height "$OUT/vips.png") ))
    vips extract_area "$OUT/ours.png" "$OUT/a.v" 0 0 "$w" "$h"
    bands=$(vipsheader -f bands "$OUT/a.v")
    if ((bands == 4 || bands == 2)); then
        vips flatten "$OUT/a.v" "$OUT/af.v" --background 0
        vips cast "$OUT/af.v" "$OUT/a.v" uchar
    fi
    vips extract_area "$OUT/vips.png" "$OUT/b.v" 0 0 "$w" "$h"
    vips subtract "$OUT/a.v" "$OUT/b.v" "$OUT/d.v"
    vips abs "$OUT/d.v" "$OUT/ad.v"
    vips relational_const "$OUT/ad.v" "$OUT/m.v" more 0
    vips bandbool "$OUT/m.v" "$OUT/any.v" or
    local differing
    differing=$(awk -v a="$(vips avg "$OUT/any.v")" -v n=$((w * h)) 'BEGIN { printf "%d", a / 255 * n + 0.5 }')
    echo "  $1: pixels compared in ${w}x${h}: ${differing} differ, largest difference $(vips max "$OUT/ad.v")"
    rm -f "$OUT"/*.v
}

join_case() { # name count width height across spacing peak_limit
    local name=$1 count=$2 width=$3 height=$4 across=$5 spacing=$6
    "$MAKEINPUTS" "$WORK" "$name"
    local files=() placed=()
    for ((i = 0; i < count; i++)); do
        files+=("$WORK/$name/cap_$(printf %02d "$i").png")
        placed+=("${files[$i]}@$(((i % across) * spacing)),$(((i / across) * spacing))")
    done
    local down=$(((count + across - 1) / across))
    OURS=("$IMGJOIN" join "$OUT/ours.png" "${placed[@]}")
    THEIRS=(vips arrayjoin "${files[*]}" "$OUT/vips.png" --across "$across" --hspacing "$spacing"
        --vspacing "$spacing")
    compare "$name" "$7"
    check_size "$name" "$(((across - 1) * spacing + width))x$(((down - 1) * spacing + height))"
    [[ $name == join20 ]] && check_pixels "$name"
    rm -f "$OUT/ours.png" "$OUT/vips.png"
}

file_case() { # name input peak_limit ours-command... -- vips-command...
    local name=$1 input=$2 peak_limit=$3
    shift 3
    "$MAKEINPUTS" "$WORK" "$(basename "$input" .png)"
    OURS=() THEIRS=()
    while [[ $1 != -- ]]; do OURS+=("$1"); shift; done
    shift
    THEIRS=("$@")
    compare "$name" "$peak_limit"
    check_size "$name" "$(header_size "$input")"
    rm -f "$OUT/ours.png" "$OUT/vips.png"
}

for name in $CASES; do
    case $name in
        join20) join_case join20 20 1920 1080 5 1200 vips ;;
        join60) join_case join60 60 2560 1440 10 1680 400 ;;
        join30) join_case join30 30 3840 2160 6 2400 "" ;;
        filter40 | filter192)
            input="$WORK/drawing${name#filter}.png"
            file_case "$name" "$input" vips "$IMGJOIN" filter --code 101 "$input" "$OUT/ours.png" -- \
                vips invert "$input" "$OUT/vips.png"
            ;;
        printprep40)
            input="$WORK/drawing40.png"
            file_case "$name" "$input" "" "$IMGJOIN" print-prep --job 101 "$input" "$OUT/ours.png" -- \
                vips colourspace "$input" "$OUT/vips.png" b-w
            ;;
        *) echo "error: no case '$name' (join20 join60 join30 filter40 filter192 printprep40)" >&2; exit 2 ;;
    esac
done
echo "medians of $RUNS runs; peak = maximum resident set size; inputs in $WORK"
