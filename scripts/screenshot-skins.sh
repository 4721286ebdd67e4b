#!/usr/bin/env bash
# Builds the program and takes pictures of the appearance window and of a
# window in each skin named, on a virtual screen:
#   scripts/screenshot-skins.sh [DIR [SKIN...]]   (default build/skins, china and ink)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset ci >/dev/null
cmake --build --preset ci -j2 --target rosgen_skin_screenshot >/dev/null
dir=${1:-build/skins}
shift || true
skins=("$@")
[ ${#skins[@]} -gt 0 ] || skins=(china ink)
exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" env QT_QPA_PLATFORM=xcb build/ci/bin/rosgen_skin_screenshot "$dir" "${skins[@]}"
