#!/usr/bin/env bash
# Builds a fuzz target with clang if needed and runs it for a bounded time
# over the seed corpus kept beside its sources (SOURCE_DIR/corpus).
# Usage: run-fuzz.sh SOURCE_DIR BUILD_DIR TARGET [SECONDS] [MAX_LEN] [SECONDS_PER_INPUT]
# Exits 77 (a skipped test) when no clang with libFuzzer is installed, and
# 1 under CI (CI=true), whose machine is set up with them.
set -euo pipefail

usage="usage: run-fuzz.sh SOURCE_DIR BUILD_DIR TARGET [SECONDS] [MAX_LEN] [SECONDS_PER_INPUT]"
here=$(cd "${1:?$usage}" && pwd)
build=${2:?$usage}
target=${3:?$usage}
seconds=${4:-10}
max_len=${5:-8192}
per_input=${6:-5}

cxx=$(command -v clang++ || command -v clang++-14 || true)
if [[ -z $cxx ]] || ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char *, unsigned long) { return 0; }' \
        | "$cxx" -x c++ -fsanitize=fuzzer,address - -o /dev/null 2>/dev/null; then
    echo "clang++ with libFuzzer not found (packages clang, libclang-rt-dev)"
    [[ ${CI:-} == true ]] && exit 1
    echo "skipped"
    exit 77
fi

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
fi
cmake --build "$build"

# libFuzzer reports a crash with 77 unless told otherwise, which CTest would
# take for a skip; hence the explicit exit codes below.
# New inputs go to a scratch folder, never into the corpus kept in the repo;
# so do the program folders the target makes.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/found" "$work/tmp"

TMPDIR=$work/tmp QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
    "$build/$target" "$work/found" "$here/corpus" \
    -max_total_time="$seconds" -timeout="$per_input" -rss_limit_mb=2048 -max_len="$max_len" \
    -error_exitcode=1 -timeout_exitcode=1 -artifact_prefix="$build/" -print_final_stats=1
