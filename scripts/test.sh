#!/usr/bin/env bash
# Builds everything with warnings as errors and runs the test suite, then builds the
# file-reader fuzzers with clang and runs each for a short, bounded time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-test"
fuzz_build="$root/build-fuzz"
jobs=$(nproc)

"$root/scripts/deps.sh" test

# Prints the build's log only when it fails.
build_quietly() {
    local log="$1/build.log"
    shift
    if ! "$@" >"$log" 2>&1; then
        grep -v '^\[' "$log" | tail -n 60 >&2
        echo "Build failed: $*" >&2
        exit 1
    fi
}

mkdir -p "$build" "$fuzz_build"
build_quietly "$build" cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_WERROR=ON
build_quietly "$build" cmake --build "$build" -j "$jobs"
echo "Built the program, the tools, the tests and the benchmarks."

build_quietly "$fuzz_build" env CXX=clang++ cmake -S "$root" -B "$fuzz_build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_FUZZ=ON
build_quietly "$fuzz_build" cmake --build "$fuzz_build" -j "$jobs"
for fuzzer in "$fuzz_build"/tests/fuzz/fuzz_*; do
    [[ -f "$fuzzer" && -x "$fuzzer" ]] || continue
    name=$(basename "$fuzzer")
    corpus="$fuzz_build/corpus/$name"
    mkdir -p "$corpus"
    if ! "$fuzzer" -max_total_time="${FUZZ_SECONDS:-20}" -rss_limit_mb=2048 -artifact_prefix="$fuzz_build/" \
        "$corpus" "$root/tests/fuzz/seeds" "$fuzz_build/lang" >"$fuzz_build/$name.log" 2>&1; then
        tail -n 40 "$fuzz_build/$name.log" >&2
        echo "$name found a fault" >&2
        exit 1
    fi
    echo "$name: $(grep -E '^Done [0-9]+ runs' "$fuzz_build/$name.log" || echo 'done')"
done

cd "$build"
ctest --output-on-failure -j"$jobs"
