#!/usr/bin/env bash
# Builds rosgen and starts it: without arguments the window (rosgen-gui), with
# arguments the command line, e.g. `scripts/start.sh list`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j2 >/dev/null
[ $# -eq 0 ] && exec build/dev/bin/rosgen-gui
exec build/dev/bin/rosgen "$@"
