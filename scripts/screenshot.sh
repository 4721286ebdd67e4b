#!/usr/bin/env bash
# Builds the program and takes a picture of its window on a virtual screen,
# with a page filled in: scripts/screenshot.sh [OUT.png [PAGE [BUTTON]]]
# (default build/screenshot.png, page pppoe-server, button gen-3x), or
# scripts/screenshot.sh --all DIR for every page (each also whole, unscrolled), or
# --message OUT.png for the copy button's message box. The window wears the
# skin a first start shows; --skin NAME (or none) first picks another.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset ci >/dev/null
out=$(cmake --build --preset ci -j2 --target rosgen_gui_screenshot 2>&1) || { echo "$out"; exit 1; }
args=("$@")
[ ${#args[@]} -gt 0 ] || args=(build/screenshot.png)
[ "${args[0]}" != --skin ] || [ ${#args[@]} -gt 2 ] || args+=(build/screenshot.png)
exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" env QT_QPA_PLATFORM=xcb build/ci/bin/rosgen_gui_screenshot "${args[@]}"
