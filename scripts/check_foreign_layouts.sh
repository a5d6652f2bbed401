#!/bin/bash
# Converts every layout file of other games found below DIR (".layout" files and every map of
# ".map" files) with tolbex_convert_layout, prints the refused ones with their reasons and the
# counts, then plays each converted layout (deal, hint, five pairs) in the import tests.
# Usage: scripts/check_foreign_layouts.sh DIR [BUILD_DIR]   (run by hand, not in CI)
set -u
src=${1:?usage: $0 DIR [BUILD_DIR]}
build=${2:-build}
tool="$build/tolbex_convert_layout"
out=$(mktemp -d)
converted=0 refused=0
while IFS= read -r -d '' file; do
    base=$(basename "$file")
    if [[ $file == *.map ]]; then
        count=$("$tool" --list "$file" 2>&1 | grep -c $'\t')
        [ "$count" -eq 0 ] && { "$tool" --list "$file"; refused=$((refused + 1)); continue; }
        maps=$(seq 1 "$count")
    else
        maps=1
    fi
    for n in $maps; do
        if msg=$("$tool" --map "$n" "$file" "$out/${base%.*}-$n.TXL" 2>&1); then
            converted=$((converted + 1))
        else
            refused=$((refused + 1))
            echo "refused (map $n): $msg"
        fi
    done
done < <(find "$src" \( -name '*.layout' -o -name '*.map' \) -print0 | sort -z)
echo "converted: $converted  refused: $refused"
TOLBEX_FOREIGN_LAYOUTS=$out "$build/tolbex_import_tests" --gtest_filter='ForeignLayouts.*'
status=$?
rm -rf "$out"
exit $status
