#!/usr/bin/env bash
# Installs what building and testing the editor needs on Debian 12, only when something is missing.
set -euo pipefail

packages=(cmake ninja-build ccache g++ pkg-config
          qt6-base-dev qt6-base-dev-tools libqt6svg6-dev libgl-dev
          libgtest-dev libgmock-dev googletest libbenchmark-dev
          zlib1g-dev libpng-dev libjpeg-dev
          fonts-dejavu-core fonts-liberation2 fonts-wqy-microhei
          locales xvfb)

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
