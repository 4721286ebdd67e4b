#!/usr/bin/env bash
# Builds everything and runs every test: the normal build with warnings as
# errors, the whole suite again under AddressSanitizer and UBSan, and each
# fuzz target for a bounded time. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

step() { printf '\n== %s ==\n' "$*"; }

step "formatting"
scripts/check-format.sh

step "build and test"
cmake --preset ci
cmake --build --preset ci
ctest --preset ci

step "package"
tests/package/deb_test.sh build/ci

step "clang-tidy"
scripts/tidy.sh

step "build and test with AddressSanitizer and UBSan"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan

step "fuzz"
cmake --preset fuzz
cmake --build --preset fuzz
seconds=${ROSGEN_FUZZ_SECONDS:-30}
for target in toolkit pages checker; do
  work=$(mktemp -d)
  # New inputs go to a scratch folder; the kept corpus and the regressions are only read.
  build/fuzz/bin/fuzz_$target -max_total_time="$seconds" -timeout=10 -max_len=256 -print_final_stats=0 \
    -artifact_prefix="$work/" "$work" fuzz/corpus/$target $(ls -d fuzz/regressions/$target 2>/dev/null) 2>&1 | tail -n 3
  if ls "$work"/crash-* "$work"/timeout-* "$work"/leak-* >/dev/null 2>&1; then
    echo "fuzz_$target found a failure: $(ls "$work"/crash-* "$work"/timeout-* "$work"/leak-* 2>/dev/null)"
    exit 1
  fi
  rm -rf "$work"
done
echo "all tests passed"
