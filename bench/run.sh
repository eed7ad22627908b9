#!/usr/bin/env bash
# The end-to-end benchmark: crops, loads and writes of a large synthetic grid,
# timed in one run beside cat, wc -l and a sed | cut crop of the same window.
#
#   bench/run.sh [SIZE] [RUNS]
#
# SIZE x SIZE cells (default 10000), RUNS runs per measurement (default 5;
# the median is reported). Grids are made in $GRIDSNIP_BENCH_DIR (default
# /tmp/gridsnip-bench) and kept for the next run. The table goes to standard
# output and to $GRIDSNIP_BENCH_RESULTS (default bench/results.md); with gnuplot
# installed, a plot of crop time against window size goes to
# $GRIDSNIP_BENCH_PLOT (default docs/crop-times.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-10000}
runs=${2:-5}
work=${GRIDSNIP_BENCH_DIR:-/tmp/gridsnip-bench}
results=${GRIDSNIP_BENCH_RESULTS:-$root/bench/results.md}
plot=${GRIDSNIP_BENCH_PLOT:-$root/docs/crop-times.png}
build=$root/build-bench

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRIDSNIP_BUILD_BENCHMARKS=ON \
    -DGRIDSNIP_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" -j2 > /dev/null
mkdir -p "$work"

# The grids' placement, as make_grid writes it.
x0=-120.000416666667
y0=35.000416666667
cell=0.000833333333333333

# median_of CMD...: runs CMD $runs times; prints "seconds peak_kib" (median
# time, largest peak resident set).
median_of() {
    local times=() peak=0 line t m log
    log=$(mktemp)
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -o "$log" -f "%e %M" bash -c "$1" > /dev/null 2>&1
        line=$(tail -n 1 "$log")
        t=${line% *}; m=${line#* }
        times+=("$t")
        if ((m > peak)); then peak=$m; fi
    done
    rm -f "$log"
    printf '%s\n' "${times[@]}" | sort -g | awk -v peak="$peak" '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)], peak }'
}

# window_args W: the four corners of a W x W window whose north-west cell is a
# quarter of the grid in from its north-west corner (cell centres, so that no
# corner lies on a boundary).
window_args() {
    awk -v w="$1" -v n="$size" -v x0="$x0" -v y0="$y0" -v c="$cell" 'BEGIN {
        first = int(n / 20); north = y0 + n * c
        printf "%.12f %.12f %.12f %.12f", x0 + (first + 0.5) * c, north - (first + 0.5) * c,
            x0 + (first + w - 0.5) * c, north - (first + w - 0.5) * c }'
}

# sed_cut W: the same window cut as text by sed and cut, without any parsing.
sed_cut() {
    local first=$((size / 20)) w=$1 grid=$2
    echo "sed -n '$((7 + first)),$((6 + first + w))p' $grid | cut -d' ' -f$((first + 1))-$((first + w))"
}

small=$(awk -v n="$size" 'BEGIN { w = int(n * 0.0556); print (w > 0 ? w : 1) }')
large=$(awk -v n="$size" 'BEGIN { print int(n * 0.8889) }')
machine="$(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"

table=$(mktemp)
{
    echo "# Benchmark results"
    echo
    echo "Machine: $machine. Grid: ${size} x ${size} cells; median of $runs runs, page cache warm."
    echo
    echo "| grid | what | seconds | MB/s of input | peak memory | ratio |"
    echo "|---|---|---|---|---|---|"
} > "$table"

for style in decimal integer; do
    grid=$work/grid-$size-$style.asc
    [ -s "$grid" ] || "$build/bench/make_grid" "$size" "$size" "$style" > "$grid"
    bytes=$(stat -c %s "$grid")
    mb=$(awk -v b="$bytes" 'BEGIN { printf "%.0f", b / 1e6 }')
    cat "$grid" > /dev/null  # warm the page cache
    read -r cat_s cat_m <<< "$(median_of "cat $grid")"
    read -r wc_s wc_m <<< "$(median_of "wc -l $grid")"
    read -r small_s small_m <<< "$(median_of "$build/gridsnip $(window_args "$small") $grid")"
    read -r large_s large_m <<< "$(median_of "$build/gridsnip $(window_args "$large") $grid")"
    read -r sedl_s sedl_m <<< "$(median_of "$(sed_cut "$large" "$grid")")"
    lw=$("$build/bench/load_write" "$grid" "$runs")
    load_s=$(echo "$lw" | awk '/^load/ { print $2 }')
    w6=$(echo "$lw" | awk '/^write6/ { print $2, $3 }')
    w15=$(echo "$lw" | awk '/^write15/ { print $2, $3 }')
    /usr/bin/time -o "$work/load.time" -f "%M" "$build/bench/load_write" "$grid" 1 > /dev/null
    load_m=$(tail -n 1 "$work/load.time")
    rate() { awk -v b="$1" -v s="$2" 'BEGIN { if (s > 0) printf "%.0f", b / 1e6 / s; else print "-" }'; }
    ratio() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { if (a > 0) printf "%.2f x %s", b / a, t; else print "-" }'; }
    {
        echo "| $style, $mb MB | \`cat\` | $cat_s | $(rate "$bytes" "$cat_s") | $cat_m KiB | |"
        echo "| $style | \`wc -l\` | $wc_s | $(rate "$bytes" "$wc_s") | $wc_m KiB | |"
        echo "| $style | gridsnip, $small x $small window | $small_s | $(rate "$bytes" "$small_s") | $small_m KiB | $(ratio "$wc_s" "$small_s" "wc -l") |"
        echo "| $style | gridsnip, $large x $large window | $large_s | $(rate "$bytes" "$large_s") | $large_m KiB | $(ratio "$sedl_s" "$large_s" "sed \| cut") |"
        echo "| $style | sed \| cut, $large x $large window | $sedl_s | $(rate "$bytes" "$sedl_s") | $sedl_m KiB | |"
        echo "| $style | LoadARCGISFile, whole grid | $load_s | $(rate "$bytes" "$load_s") | $load_m KiB (load and write) | |"
        echo "| $style | WriteARCGISFile, precision 6 | ${w6% *} | $(rate "${w6#* }" "${w6% *}") of output | | |"
        echo "| $style | WriteARCGISFile, precision 15 | ${w15% *} | $(rate "${w15#* }" "${w15% *}") of output | | |"
    } >> "$table"
done

# Crop time against window size, for the plot.
if command -v gnuplot > /dev/null; then
    grid=$work/grid-$size-decimal.asc
    series=$(mktemp)
    for fraction in 0.01 0.05 0.1 0.25 0.5 0.75 0.8889; do
        w=$(awk -v n="$size" -v f="$fraction" 'BEGIN { w = int(n * f); print (w > 0 ? w : 1) }')
        read -r g _ <<< "$(median_of "$build/gridsnip $(window_args "$w") $grid")"
        read -r s _ <<< "$(median_of "$(sed_cut "$w" "$grid")")"
        echo "$w $g $s" >> "$series"
    done
    read -r c _ <<< "$(median_of "cat $grid")"
    read -r l _ <<< "$(median_of "wc -l $grid")"
    mkdir -p "$(dirname "$plot")"
    gnuplot <<PLOT
set terminal pngcairo size 800,500 noenhanced
set output "$plot"
set title "Crop time against window size (${size} x ${size} grid)"
set xlabel "window side (cells)"
set ylabel "seconds (median of $runs)"
set key top left
set grid
plot "$series" using 1:2 with linespoints title "gridsnip", \
     "$series" using 1:3 with linespoints title "sed | cut (no parsing, no checks)", \
     $c with lines dashtype 2 title "cat", $l with lines dashtype 3 title "wc -l"
PLOT
    rm -f "$series"
    echo >> "$table"
    echo "Plot: $(basename "$plot")." >> "$table"
fi

mkdir -p "$(dirname "$results")"
cp "$table" "$results"
rm -f "$table"
cat "$results"
