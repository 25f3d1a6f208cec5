#!/bin/sh
# Installs the Debian packages Plotvane builds, tests and renders with, but only
# those that are missing: a machine that has them all is left untouched and the
# package lists are refreshed only when something has to be installed.
set -eu

# Fonts: Liberation draws Arial and its kin; DejaVu and WenQuanYi Micro Hei
# (Chinese, Japanese and Korean in one file) draw what Liberation lacks.
packages="
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev fontconfig fonts-liberation2
  fonts-dejavu-core fonts-wqy-microhei
  zlib1g-dev libjpeg62-turbo-dev nlohmann-json3-dev
  libpng-dev libgif-dev libexpat1-dev
  python3 python3-dev pybind11-dev python3-pybind11 python3-pytest
  libboost-dev nginx chromium nodejs curl
"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -z "$missing" ]; then
  exit 0
fi

echo "install-deps: installing$missing" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
# shellcheck disable=SC2086
$sudo apt-get install -y --no-install-recommends $missing
