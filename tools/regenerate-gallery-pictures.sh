#!/bin/sh
# Redraws the expected pictures of the gallery test, tests/data/gallery/NAME.png
# for every script tools/gallery/NAME.json, after a deliberate change of what
# is drawn. Builds the command (Release, build/) first. Look at the pictures
# that changed (git status) before committing them.
#
#   tools/regenerate-gallery-pictures.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release -j 2 --target plotvane >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
build/plotvane demo --out "$scratch" >/dev/null
mkdir -p tests/data/gallery
rm -f tests/data/gallery/*.png
cp "$scratch"/*.png tests/data/gallery/
echo "regenerate-gallery-pictures: $(ls tests/data/gallery/*.png | wc -l) pictures in tests/data/gallery/"
git status --short -- tests/data/gallery
