#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the program's sources; needs a configured build/ci.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/ci/compile_commands.json ] || cmake --preset ci >/dev/null
report=$(git ls-files 'src/*.cpp' | xargs -P"$(nproc)" -n4 clang-tidy -p build/ci --quiet 2>&1 || true)
if grep -q -E 'error:|warning:' <<<"$report"; then
  grep -E -A3 'error:|warning:' <<<"$report"
  echo "clang-tidy found problems"
  exit 1
fi
echo "clang-tidy: clean"
