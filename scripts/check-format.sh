#!/usr/bin/env bash
# Fails when a C++ file in the tree is not formatted with .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
[ ${#files[@]} -eq 0 ] || clang-format --dry-run --Werror "${files[@]}"
echo "formatting: ${#files[@]} files checked"
