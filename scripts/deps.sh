#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the scripts need, when missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  clang libclang-rt-14-dev clang-format clang-tidy
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  libsodium-dev libqrencode-dev libpng-dev wireguard-tools zbar-tools
  qt6-base-dev qt6-base-dev-tools libqt6network6 qt6-translations-l10n
  fonts-wqy-microhei xvfb xauth
  emscripten chromium
  dpkg-dev desktop-file-utils file groff-base
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# The web tests run node and `npm ci`. Debian's nodejs comes without npm, which is a package of its
# own there; a node from elsewhere may bring npm along (and would conflict with Debian's), so they
# are looked for as commands.
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "rosgen needs these Debian packages: ${missing[*]}. Run this script as root, or install sudo." >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
