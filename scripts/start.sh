#!/usr/bin/env bash
# Builds rosgen and starts it. Arguments go to the program, e.g. `scripts/start.sh list`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev >/dev/null
exec build/dev/bin/rosgen "$@"
