#!/usr/bin/env bash
# Installs what building and testing the editor needs on Debian 12, only what is missing: the package
# index is updated only when something must be installed. Real package names only (dpkg-query does not
# see virtual ones as installed, so a virtual name would force an install on every run).
#   bash tools/deps.sh          the build, the tests and the benchmarks
#   bash tools/deps.sh --fuzz   and clang for the fuzz programs (tools/fuzz.sh)
set -euo pipefail

packages=(cmake ninja-build ccache g++
          qt6-base-dev qt6-base-dev-tools          # Qt Core, Network, Gui, Widgets; moc and rcc
          libgtest-dev libgmock-dev libbenchmark-dev
          zlib1g-dev libpng-dev libjpeg-dev          # the picture codecs
          fonts-dejavu-core fonts-liberation2 fonts-wqy-microhei # the font substitution table
          locales                                     # the comma-decimal locale of the number tests
          poppler-utils)                              # pdftoppm: the print test reads its PDF back
[ "${1:-}" = "--fuzz" ] && packages+=(clang)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The number-format tests run once under a comma-decimal locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    $sudo locale-gen >/dev/null
fi
