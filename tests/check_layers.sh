#!/bin/sh
# The layers include one way: grid/ and numbers/ at the bottom, files/ and
# tools/ above them and beside each other, the public headers only public
# headers of their own layer and below. Lists every #include that reaches up
# or sideways and fails if there is one.
#
#   check_layers.sh SOURCE_ROOT
set -u
root=${1:?usage: check_layers.sh SOURCE_ROOT}
cd "$root" || exit 2

# The layer a project #include names, or nothing for a standard header.
layer_of() {
    case $1 in
        '<gridsnip/gridsnip.h>') echo umbrella ;;
        '<gridsnip/'*) echo "$1" | sed 's|^<gridsnip/\([a-z]*\)/.*|\1|' ;;
        '"'*/*) echo "$1" | sed 's|^"\([a-z]*\)/.*|\1|' ;;
        '"'*) echo local ;;
    esac
}

# Layers a folder may include; public headers may not name private ones.
allowed() {
    case $1 in
        grid | include/gridsnip/grid) echo "grid" ;;
        numbers) echo "numbers" ;;
        files) echo "grid numbers files" ;;
        include/gridsnip/files) echo "grid files" ;;
        tools) echo "grid numbers tools" ;;
        include/gridsnip/tools) echo "grid tools" ;;
    esac
}

status=0
checked=0
for folder in grid numbers files tools include/gridsnip/grid include/gridsnip/files \
    include/gridsnip/tools; do
    for file in "$folder"/*.h "$folder"/*.cpp; do
        [ -f "$file" ] || continue
        checked=$((checked + 1))
        public=no
        case $folder in include/*) public=yes ;; esac
        for target in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*\([<"][^>"]*[>"]\).*/\1/p' "$file"); do
            layer=$(layer_of "$target")
            [ -n "$layer" ] || continue
            if [ "$public" = yes ] && [ "${target#<gridsnip/}" = "$target" ]; then
                echo "$file: a public header includes the private $target"
                status=1
                continue
            fi
            case " $(allowed "$folder") " in
                *" $layer "*) continue ;;
            esac
            echo "$file: includes $target, neither its own layer nor one below it"
            status=1
        done
    done
done
# A script that finds nothing to check proves nothing.
if [ "$checked" -lt 20 ]; then
    echo "only $checked files found under $root"
    status=1
fi
exit $status
