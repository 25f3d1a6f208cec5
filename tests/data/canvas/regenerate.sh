#!/bin/bash
# Re-renders the shape and line scripts of this folder with the reference
# renderer (gdi-oracle, in the shared tools folder next to the repository) and
# records their dumps here. Large dumps are stored gzip-compressed (NAME.gz);
# the canvas tests read either form.
#
# Each script is rendered twice: the reference reads memory it never wrote in
# a few shapes (see generate_scripts.py for the ones left out), so two
# differing renderings mean a case that cannot serve as a reference.
#
# Usage: regenerate.sh [SCRIPT.ops ...]   (default: every *.ops here that
# draws shapes; the text scripts have their own recorder)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
oracle=${GDI_ORACLE:-$here/../../../../shared/tools/gdi-oracle/run.sh}
[ -x "$oracle" ] || { echo "regenerate.sh: no reference renderer at $oracle (set GDI_ORACLE)" >&2; exit 2; }

scripts=("$@")
if [ ${#scripts[@]} -eq 0 ]; then
    scripts=(rectangles.ops ellipses.ops pies.ops pie_chart.ops polygons.ops gaps.ops lines.ops palette.ops
             large.ops styled_ellipses.ops narrow_pies.ops)
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for script in "${scripts[@]}"; do
    name=$(basename "$script")
    for pass in 1 2; do
        "$oracle" "$here/$name" "$work/$pass" >/dev/null
    done
    for dump in $(awk '$1 == "dump" { print $2 }' "$here/$name"); do
        if ! cmp -s "$work/1/$dump" "$work/2/$dump"; then
            echo "regenerate.sh: $name: $dump differs between two renderings" >&2
            exit 1
        fi
        rm -f "$here/$dump" "$here/$dump.gz"
        if [ "$(stat -c %s "$work/1/$dump")" -gt 65536 ]; then
            gzip -9 -n -c "$work/1/$dump" >"$here/$dump.gz"
        else
            cp "$work/1/$dump" "$here/$dump"
        fi
    done
    echo "recorded $name"
done
