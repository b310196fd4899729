#!/usr/bin/env bash
# Writes docs/levels.md: the solver's table of the shipped levels and a
# small picture of each level's swing and crash maps (docs/levels/).
#
#   scripts/levels-page.sh [BUILD_DIR]      (default build; needs tidepool-solver and tidepool-content built)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$here/build}")
content=$build/tools/tidepool-content/tidepool-content
solver=$build/tidepool-solver
out=$here/docs/levels
page=$here/docs/levels.md
mkdir -p "$out"
rm -f "$out"/*.png
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The level table (map 0's records 20): level, -, theme, swing map, crash map.
"$content" --data "$build" level 0 | awk '$1 == "record" && $2 == "20:" { print $3, $5, $6, $7 }' > "$work/table"
[ "$(wc -l < "$work/table")" -eq 27 ] || { echo "levels-page.sh: the level table does not list 27 levels" >&2; exit 1; }

picture() {  # MAP NAME
    "$content" --data "$build" level-png "$1" "$work/$2" > /dev/null
    python3 "$here/scripts/shrink-png.py" "$work/$2" "$out/$2" 4
}

{
    echo "# The levels"
    echo
    echo "Written by \`scripts/levels-page.sh\` from the built data; run it again after"
    echo "changing \`assets/levels/\`. The table is \`tidepool-solver table --markdown\`:"
    echo "each level played by the solver through the real game, without unlocks and"
    echo "with all of them (0x1FF). Grades are the saved ones: 2, 3 and 4 are one to"
    echo "three pearls, 5 the finale's ending; \"-\" not finished. States are the"
    echo "look-ahead frames the search ran, the time is both runs' wall time."
    echo
    "$solver" table --markdown 2>/dev/null || true
    echo
    echo "The maps, a quarter of their size: the swing stage's above, the crash"
    echo "stage's below (a bonus level has its swing stage only)."
    echo
    while read -r level theme swing crash; do
        name=$(printf "%02d" "$level")
        picture "$swing" "$name-swing.png"
        echo "## Level $level"
        echo
        echo "Swing map $swing, crash map $crash, theme $theme."
        echo
        echo "![Level $level, swing stage](levels/$name-swing.png)"
        if [ "$crash" != "$swing" ]; then
            picture "$crash" "$name-crash.png"
            echo
            echo "![Level $level, crash stage](levels/$name-crash.png)"
        fi
        echo
    done < "$work/table"
} > "$page"
echo "wrote $page and $(ls "$out" | wc -l) pictures ($(du -sk "$out" | cut -f1) KB)"
