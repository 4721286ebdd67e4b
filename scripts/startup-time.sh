#!/usr/bin/env bash
# Measures how long rosgen-gui takes from being started to its first painted
# window, on a virtual screen when there is no display: scripts/startup-time.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
  scripts/deps.sh
  cmake --preset ci >/dev/null
  out=$(cmake --build --preset ci -j2 --target rosgen-gui 2>&1) || { echo "$out"; exit 1; }
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
bin=build/ci/bin/rosgen-gui
runs=${1:-5}
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
for _ in $(seq "$runs"); do
  t0=$(date +%s%N)
  coproc GUI { XDG_RUNTIME_DIR=$runtime ROSGEN_GUI_TIMING=1 ROSGEN_GUI_HEADLESS=1 QT_QPA_PLATFORM=xcb exec "$bin" 2>&1; }
  while IFS= read -r line <&"${GUI[0]}"; do
    if [[ $line == *"window shown after"* ]]; then
      t1=$(date +%s%N)
      echo "$(((t1 - t0) / 1000000)) ms from start to first paint (${line#rosgen-gui: })"
      break
    fi
  done
  kill "$GUI_PID" 2>/dev/null || true
  wait "$GUI_PID" 2>/dev/null || true
done
