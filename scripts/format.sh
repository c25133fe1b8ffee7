#!/usr/bin/env bash
# Formats the C++ sources with the committed .clang-format, or with --check
# lists the files that differ and fails.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=$(command -v clang-format || command -v clang-format-14)
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ ${1:-} == --check ]]; then
    "$formatter" --dry-run --Werror "${files[@]}"
    echo "format-check: ${#files[@]} files as formatted"
else
    "$formatter" -i "${files[@]}"
fi
