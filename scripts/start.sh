#!/usr/bin/env bash
# Builds rosgen and starts it: without arguments the window (rosgen-gui), with
# arguments the command line, e.g. `scripts/start.sh list`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
echo "Building rosgen in build/dev (the first build takes a few minutes)..." >&2
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! cmake --preset dev >"$log" 2>&1; then
  cat "$log" >&2
  echo "configuring the build failed (cmake's messages are above)" >&2
  exit 1
fi
# The progress lines show as the build goes; when it fails, the compiler's messages follow.
if ! cmake --build --preset dev -j2 2>&1 | tee "$log" | { grep --line-buffered -E '^\[[0-9]+/[0-9]+\]' >&2 || true; }; then
  grep -v -E '^\[[0-9]+/[0-9]+\]' "$log" >&2
  echo "the build failed (the compiler's messages are above)" >&2
  exit 1
fi
[ $# -eq 0 ] && exec build/dev/bin/rosgen-gui
exec build/dev/bin/rosgen "$@"
