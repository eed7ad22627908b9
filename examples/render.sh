#!/usr/bin/env bash
# Renders the bundled sample grid, with the outline of a window, and the window
# that gridsnip cuts from it (the README's example), as sample.png and
# window.png in FOLDER (gnuplot). `examples/render.sh build/gridsnip docs`
# redraws the README's pictures.
#
#   examples/render.sh [GRIDSNIP [FOLDER]]   (default: build/gridsnip build/pictures)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
gridsnip=${1:-$root/build/gridsnip}
folder=${2:-$root/build/pictures}
corners=(-120.496 37.996 -120.446 37.962)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$gridsnip" "${corners[@]}" "$root/examples/sample.asc" > "$work/window.asc"

# header NAME FILE: the value of one header item.
header() { awk -v tag="$1" '$1 == tag { print $2; exit }' "$2"; }

# render GRID PNG TITLE [OUTLINE]: a shaded image of the values, no-data cells
# in their own colour, optionally with the outline of another grid.
render() {
    local grid=$1 png=$2 title=$3 outline=${4:-}
    local nx ny x0 y0 cs nodata
    nx=$(header ncols "$grid"); ny=$(header nrows "$grid")
    x0=$(header xllcorner "$grid"); y0=$(header yllcorner "$grid")
    cs=$(header cellsize "$grid"); nodata=$(header NODATA_value "$grid")
    tail -n +7 "$grid" > "$work/body"
    local rectangle=""
    if [ -n "$outline" ]; then
        local wx wy wnx wny
        wx=$(header xllcorner "$outline"); wy=$(header yllcorner "$outline")
        wnx=$(header ncols "$outline"); wny=$(header nrows "$outline")
        rectangle="set object 2 rect from $wx,$wy to $wx + $wnx * $cs,$wy + $wny * $cs front fillstyle empty border lc rgb 'red' lw 2"
    fi
    gnuplot <<PLOT
set terminal pngcairo size 720,560 noenhanced
set output "$png"
set title "$title"
set xlabel "longitude"
set ylabel "latitude"
set size ratio -1
set xrange [$x0:$x0 + $nx * $cs]
set yrange [$y0:$y0 + $ny * $cs]
set format x "%.2f"
set xtics rotate by -30
set format y "%.3f"
set palette defined (0 "#2b5d34", 0.5 "#c9b458", 1 "#f4f1ea")
set cblabel "value"
# No-data cells are left out of the image and show this colour behind it.
set object 1 rect from graph 0,0 to graph 1,1 behind fillcolor rgb "#3a7bd5" fillstyle solid noborder
$rectangle
plot "$work/body" matrix using ($x0 + (\$1 + 0.5) * $cs):($y0 + ($ny - \$2 - 0.5) * $cs):(\$3 == $nodata ? NaN : \$3) with image notitle
PLOT
}

mkdir -p "$folder"
render "$root/examples/sample.asc" "$folder/sample.png" \
    "examples/sample.asc (blue: no data; red: the window)" "$work/window.asc"
render "$work/window.asc" "$folder/window.png" "gridsnip ${corners[*]} examples/sample.asc"
