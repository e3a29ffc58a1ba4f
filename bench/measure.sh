# Shared by the comparison scripts (sourced, not run): timing one command and
# taking medians. The scripts set OUT to a scratch folder first.

measure() { # file command... -> appends "wall cpu peak-kB" to file
    local file=$1
    shift
    local status=0
    /usr/bin/time -f '%e %U %S %M' -o "$OUT/time" "$@" >/dev/null 2>"$OUT/stderr" || status=$?
    if ((status != 0)); then
        echo "exit status $status: ${*:1:3} ..." >&2
        cat "$OUT/stderr" >&2
    fi
    sed -i '/exited with non-zero status/d' "$OUT/time"
    awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$OUT/time" >>"$file"
}

median() { # column -> the median of that column of standard input
    awk -v c="$1" '{ print $c }' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
