#!/usr/bin/env bash
# Builds the Debian package: an optimised build of the program alone,
# configured for /usr, then cpack. `make package` and the packaging test both
# come through here, so the test checks the package that users get.
#
# Usage: cmake/build-deb.sh BUILD_FOLDER OUTPUT_FOLDER [JOBS]
# Leaves OUTPUT_FOLDER/qvanto_<version>_<arch>.deb; the build folder is kept
# for the next run, which then only rebuilds what changed.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 BUILD_FOLDER OUTPUT_FOLDER [JOBS]" >&2; exit 2; }
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$1 output=$2 jobs=${3:-$(nproc)}
command -v dpkg-shlibdeps >/dev/null ||
    { echo "dpkg-shlibdeps is missing (Debian package dpkg-dev)" >&2; exit 1; }

cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr -DQVANTO_BUILD_TESTS=OFF -DQVANTO_BUILD_BENCH=OFF
cmake --build "$build" -j "$jobs"
mkdir -p "$output"
output=$(cd "$output" && pwd)
# cpack's staging folder stays in the build folder; only the package goes out.
(cd "$build" && cpack -G DEB -D CPACK_OUTPUT_FILE_PREFIX="$output")
