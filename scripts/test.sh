#!/usr/bin/env bash
# Builds everything and runs every test: the normal build with warnings as
# errors, the package, clang-tidy, the whole suite again under AddressSanitizer
# and UBSan, each fuzz target for a bounded time, and the benchmarks once.
# Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

# Each step says what it runs.
step() { printf '\n== %s ==\n%s\n' "$1" "$2"; }

step "formatting" "clang-format --dry-run over every C++ file (scripts/check-format.sh)"
scripts/check-format.sh

step "build and test" "the ci preset (warnings are errors), then ctest: toolkit, pages, checker, rosgen, window"
cmake --preset ci
cmake --build --preset ci
ctest --preset ci

step "web edition" "the web preset (Emscripten) builds rosgen.html; headless Chromium tests it against this rosgen (tests/web, node --test)"
# The QR code encoder the page carries, from the npm registry before the build (which reads it from disk).
(cd src/web && npm ci --no-audit --no-fund --loglevel=error)
cmake --preset web
cmake --build --preset web
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
ROSGEN_HTML="$PWD/build/web/bin/rosgen.html" ROSGEN_BIN="$PWD/build/ci/bin/rosgen" node --test tests/web/
# The package carries it.
cmake build/ci -DROSGEN_WEB_HTML="$PWD/build/web/bin/rosgen.html" >/dev/null

step "package" "cpack's .deb installed into a throwaway dpkg root, both programs started, removed (tests/package/deb_test.sh)"
tests/package/deb_test.sh build/ci

step "clang-tidy" "clang-tidy with .clang-tidy over the program's sources (scripts/tidy.sh; a few minutes, quiet)"
scripts/tidy.sh

step "build and test with AddressSanitizer and UBSan" "the asan preset, then the whole ctest suite again"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan

seconds=${ROSGEN_FUZZ_SECONDS:-30}
step "fuzz" "the libFuzzer targets (fuzz preset, clang), ${seconds} s each from fuzz/corpus"
cmake --preset fuzz
cmake --build --preset fuzz
for target in toolkit pages checker model; do
  work=$(mktemp -d)
  # New inputs go to a scratch folder; the kept corpus and the regressions are only read.
  log="$work/log"
  build/fuzz/bin/fuzz_$target -max_total_time="$seconds" -timeout=10 -max_len=256 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work" fuzz/corpus/$target $(ls -d fuzz/regressions/$target 2>/dev/null) >"$log" 2>&1 &&
    status=0 || status=$?
  if [ "$status" -ne 0 ] || ls "$work"/crash-* "$work"/timeout-* "$work"/leak-* >/dev/null 2>&1; then
    tail -n 30 "$log"
    echo "fuzz_$target found a failure: $(ls "$work"/crash-* "$work"/timeout-* "$work"/leak-* 2>/dev/null)"
    exit 1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  echo "fuzz_$target: $runs runs in ${seconds} s, no crash, timeout or leak"
  rm -rf "$work"
done

step "benchmarks" "the bench preset (Release): generators and the RouterOS 7 checker, run once (figures in bench/README.md)"
cmake --preset bench >/dev/null
cmake --build --preset bench --target bench_generators bench_checker
build/bench/bin/bench_generators --benchmark_min_time=0.01 --benchmark_filter='routes|pppoe-accounts|gen-7x' 2>&1 | tail -n 12
build/bench/bin/bench_checker 2>&1 | tail -n 6
echo "all tests passed"
