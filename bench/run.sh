#!/usr/bin/env bash
# The end-to-end benchmark: crops of synthetic grids, timed in one run beside
# the baselines they are judged against (cat, wc -l, a sed | cut crop of the
# same rows and columns, and gdal_translate -projwin when it is installed).
#
#   bench/run.sh [SIZE] [RUNS]
#
# SIZE x SIZE cells for the square grid (default 10000; the other grids scale
# with it), RUNS runs per measurement (default 5; the median time and the
# largest peak resident set are reported). Every crop is timed with all the
# processors this process may use and again with one (taskset -c 0). Grids are
# made in $GRIDSNIP_BENCH_DIR (default /tmp/gridsnip-bench) and kept for the
# next run. The table goes to standard output and to $GRIDSNIP_BENCH_RESULTS
# (default bench/results.md); with gnuplot installed, a plot of crop time
# against window size from the same run goes to $GRIDSNIP_BENCH_PLOT (default
# docs/crop-times.png).
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
gridsnip=$build/gridsnip
one="taskset -c 0"

# The grids' placement, as make_grid writes it.
x0=-120.000416666667
y0=35.000416666667
cell=0.000833333333333333

# median_of CMD: runs CMD $runs times; prints "seconds peak_kib" (median time,
# largest peak resident set).
median_of() {
    local times=() peak=0 line t m log
    log=$(mktemp)
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -o "$log" -f "%e %M" bash -c "$1" > /dev/null 2>&1 || true
        line=$(tail -n 1 "$log")
        t=${line% *}; m=${line#* }
        times+=("$t")
        if ((m > peak)); then peak=$m; fi
    done
    rm -f "$log"
    printf '%s\n' "${times[@]}" | sort -g | awk -v peak="$peak" '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)], peak }'
}

# corners COLS ROWS W H: the four corners of a W x H window of a COLS x ROWS
# grid whose north-west cell lies a twentieth of the grid in from its
# north-west corner (cell centres, so that no corner lies on a boundary).
corners() {
    awk -v nx="$1" -v ny="$2" -v w="$3" -v h="$4" -v x0="$x0" -v y0="$y0" -v c="$cell" 'BEGIN {
        fx = int(nx / 20); fy = int(ny / 20); north = y0 + ny * c
        printf "%.12f %.12f %.12f %.12f", x0 + (fx + 0.5) * c, north - (fy + 0.5) * c,
            x0 + (fx + w - 0.5) * c, north - (fy + h - 0.5) * c }'
}

# sed_cut COLS ROWS W H GRID: the same window cut as text, without any parsing.
sed_cut() {
    local fx=$(($1 / 20)) fy=$(($2 / 20))
    echo "sed -n '$((7 + fy)),$((6 + fy + $4))p' $5 | cut -d' ' -f$((fx + 1))-$((fx + $3))"
}

# grid NAME COLS ROWS: makes the grid once; prints its path.
grid() {
    local path=$work/$1.asc
    [ -s "$path" ] || "$build/bench/make_grid" "$2" "$3" decimal > "$path"
    cat "$path" > /dev/null  # warm the page cache
    echo "$path"
}

rate() { awk -v b="$1" -v s="$2" 'BEGIN { if (s > 0) printf "%.0f", b / 1e6 / s; else print "-" }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a > 0 && b > 0) printf "%.2f", a / b; else print "-" }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

have_gdal=false
command -v gdal_translate > /dev/null && have_gdal=true
threads=$(nproc)
machine="$(nproc --all) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

square=$(grid "square-$size" "$size" "$size")
wide=$((size * 2 / 5)); high=$((size / 4))
rect=$(grid "rect-$wide-$high" "$wide" "$high")
small=$((size * 556 / 10000)); large=$((size * 8889 / 10000))
rw=$((wide * 3556 / 4000)); rh=$((high * 2223 / 2500))
long=$((size * 1700))
column=$(grid "column-$long" 1 "$long")
row=$(grid "row-$long" "$long" 1)
claim=$work/claim.asc
printf 'ncols 16777216\nnrows 16777216\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n1 2 3\n' > "$claim"
out=$work/out.asc

table=$(mktemp)
# row_of LABEL CMD [BASE_SECONDS BASE_NAME [time]]: one table line, with the
# time, the peak memory and, given a baseline, how many times faster than it
# (or, with "time", how many times its time).
row_of() {
    local label=$1 cmd=$2 base=${3:-} name=${4:-} how=${5:-} s m r=""
    read -r s m <<< "$(median_of "$cmd")"
    if [ -n "$base" ] && [ "$how" = time ]; then
        r="$(ratio "$s" "$base") x the time of $name"
    elif [ -n "$base" ]; then
        r="$(ratio "$base" "$s") x faster than $name"
    fi
    echo "| $label | $s | $(mib "$m") MiB | $r |" >> "$table"
    echo "$s"
}

{
    echo "# Benchmark results"
    echo
    echo "Machine: $machine. Threads used by gridsnip: $threads (\`nproc\`); \"1 thread\" rows run under \`taskset -c 0\`."
    echo "Median of $runs runs, page cache warm, peak resident set the largest of the runs."
    echo "Load average before the run: $load_before."
    echo
    echo "| what | seconds | peak memory | ratio |"
    echo "|---|---|---|---|"
} > "$table"

bytes=$(stat -c %s "$square")
echo "| **$size x $size grid, $((bytes / 1000000)) MB** | | | |" >> "$table"
cat_s=$(row_of "\`cat\`" "cat $square")
wc_s=$(row_of "\`wc -l\`" "wc -l $square")
args=$(corners "$size" "$size" "$small" "$small")
if $have_gdal; then
    gdal_small=$(row_of "gdal_translate -projwin, $small x $small window" \
        "gdal_translate -q -of AAIGrid -projwin $args $square $out")
fi
for who in "" "$one"; do
    label=$([ -z "$who" ] && echo "$threads threads" || echo "1 thread")
    row_of "gridsnip, $small x $small window, $label" "$who $gridsnip $args $square > /dev/null" \
        "$wc_s" "\`wc -l\`" time > /dev/null
    if $have_gdal; then
        row_of "gridsnip to a file, $small x $small window, $label" "$who $gridsnip $args $square $out" \
            "$gdal_small" gdal_translate > /dev/null
    fi
done
row_of "gridsnip, $small x $small window, grid through a pipe" "cat $square | $gridsnip $args > /dev/null" > /dev/null
args=$(corners "$size" "$size" "$large" "$large")
sed_large=$(row_of "\`sed -n \| cut\`, $large x $large window" "$(sed_cut "$size" "$size" "$large" "$large" "$square")")
for who in "" "$one"; do
    label=$([ -z "$who" ] && echo "$threads threads" || echo "1 thread")
    row_of "gridsnip, $large x $large window, $label" "$who $gridsnip $args $square > /dev/null" \
        "$sed_large" "sed \| cut" > /dev/null
done

bytes=$(stat -c %s "$rect")
echo "| **$wide x $high grid, $((bytes / 1000000)) MB** | | | |" >> "$table"
args=$(corners "$wide" "$high" "$rw" "$rh")
if $have_gdal; then
    gdal_rect=$(row_of "gdal_translate -projwin, $rw x $rh window" \
        "gdal_translate -q -of AAIGrid -projwin $args $rect $out")
    for who in "" "$one"; do
        label=$([ -z "$who" ] && echo "$threads threads" || echo "1 thread")
        row_of "gridsnip to a file, $rw x $rh window, $label" "$who $gridsnip $args $rect $out" \
            "$gdal_rect" gdal_translate > /dev/null
    done
fi

echo "| **Grids of one column or one row, and a header's claim** | | | |" >> "$table"
mid=$((long / 2))
args=$(awk -v m="$mid" -v n="$long" -v x0="$x0" -v y0="$y0" -v c="$cell" 'BEGIN {
    printf "%.12f %.12f %.12f %.12f", x0 + 0.5 * c, y0 + (n - m + 0.5) * c, x0 + 0.5 * c, y0 + (n - m - 0.5) * c }')
for who in "" "$one"; do
    label=$([ -z "$who" ] && echo "$threads threads" || echo "1 thread")
    row_of "gridsnip, 2 cells of a 1 x $long grid (one column), $label" "$who $gridsnip $args $column > /dev/null" > /dev/null
done
args=$(awk -v m="$mid" -v x0="$x0" -v y0="$y0" -v c="$cell" 'BEGIN {
    printf "%.12f %.12f %.12f %.12f", x0 + (m + 0.5) * c, y0 + 0.5 * c, x0 + (m + 1.5) * c, y0 + 0.5 * c }')
for who in "" "$one"; do
    label=$([ -z "$who" ] && echo "$threads threads" || echo "1 thread")
    row_of "gridsnip, 2 cells of a $long x 1 grid (one row), $label" "$who $gridsnip $args $row > /dev/null" > /dev/null
done
row_of "gridsnip on a 90-byte file claiming 16777216 x 16777216 cells (fails)" "$gridsnip 0.5 1.5 1.5 0.5 $claim" > /dev/null
row_of "the same claim through a pipe (fails)" "cat $claim | $gridsnip 0.5 1.5 1.5 0.5" > /dev/null

# The library's own load and writes of the whole square grid.
lw=$("$build/bench/load_write" "$square" "$runs")
{
    echo "| **The library on the whole $size x $size grid** | | | |"
    echo "| LoadARCGISFile | $(echo "$lw" | awk '/^load/ { print $2 }') | | |"
    echo "| WriteARCGISFile, precision 6 | $(echo "$lw" | awk '/^write6/ { print $2 }') | | |"
    echo "| WriteARCGISFile, precision 15 | $(echo "$lw" | awk '/^write15/ { print $2 }') | | |"
} >> "$table"

# Crop time against window size, for the plot.
if command -v gnuplot > /dev/null; then
    series=$(mktemp)
    for fraction in 0.01 0.0556 0.1 0.25 0.5 0.75 0.8889; do
        w=$(awk -v n="$size" -v f="$fraction" 'BEGIN { w = int(n * f); print (w > 0 ? w : 1) }')
        args=$(corners "$size" "$size" "$w" "$w")
        read -r g _ <<< "$(median_of "$gridsnip $args $square > /dev/null")"
        read -r g1 _ <<< "$(median_of "$one $gridsnip $args $square > /dev/null")"
        read -r s _ <<< "$(median_of "$(sed_cut "$size" "$size" "$w" "$w" "$square")")"
        echo "$w $g $g1 $s" >> "$series"
    done
    mkdir -p "$(dirname "$plot")"
    gnuplot <<PLOT
set terminal pngcairo size 800,500 noenhanced
set output "$plot"
set title "Crop time against window size (${size} x ${size} grid, same run as bench/results.md)"
set xlabel "window side (cells)"
set ylabel "seconds (median of $runs)"
set key top left
set grid
plot "$series" using 1:2 with linespoints title "gridsnip, $threads threads", \
     "$series" using 1:3 with linespoints title "gridsnip, 1 thread", \
     "$series" using 1:4 with linespoints title "sed | cut (no parsing, no checks)", \
     $cat_s with lines dashtype 2 title "cat", $wc_s with lines dashtype 3 title "wc -l"
PLOT
    rm -f "$series"
    echo >> "$table"
    echo "Plot from this run: $(basename "$plot")." >> "$table"
fi
rm -f "$out" "$work"/out.prj "$work"/out.asc.aux.xml
echo "Load average after the run: $(cut -d' ' -f1-3 /proc/loadavg)." >> "$table"

mkdir -p "$(dirname "$results")"
cp "$table" "$results"
rm -f "$table"
cat "$results"
