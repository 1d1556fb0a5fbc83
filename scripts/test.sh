#!/usr/bin/env bash
# Builds everything with warnings as errors and runs the test suite, then builds the
# file-reader fuzzers with clang and runs each for a short, bounded time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-test"
fuzz_build="$root/build-fuzz"
jobs=$(nproc)
# shellcheck source-path=SCRIPTDIR source=progress.sh
source "$root/scripts/progress.sh"

mkdir -p "$build" "$fuzz_build"
"$root/scripts/deps.sh" test "$build/deps.log"

build_all() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_WERROR=ON &&
        cmake --build "$build" -j "$jobs"
}
run_step "Building the program, the tools, the tests and the benchmarks" "$build/build.log" build_all

build_fuzzers() {
    CXX=clang++ cmake -S "$root" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_FUZZ=ON &&
        cmake --build "$fuzz_build" -j "$jobs"
}
run_step "Building the fuzzers with clang" "$fuzz_build/build.log" build_fuzzers

# Sanitizer reports name functions and lines only through llvm-symbolizer.
symbolizer=$(command -v llvm-symbolizer || command -v llvm-symbolizer-14 || true)
if [[ -n "$symbolizer" ]]; then
    ASAN_SYMBOLIZER_PATH=$(readlink -f "$symbolizer")
    export ASAN_SYMBOLIZER_PATH UBSAN_SYMBOLIZER_PATH=$ASAN_SYMBOLIZER_PATH
fi
start=$SECONDS
echo "==> Running each fuzzer for ${FUZZ_SECONDS:-20} s"
for fuzzer in "$fuzz_build"/tests/fuzz/fuzz_*; do
    [[ -f "$fuzzer" && -x "$fuzzer" ]] || continue
    name=$(basename "$fuzzer")
    corpus="$fuzz_build/corpus/$name"
    log="$fuzz_build/$name.log"
    mkdir -p "$corpus"
    if ! "$fuzzer" -max_total_time="${FUZZ_SECONDS:-20}" -rss_limit_mb=2048 -artifact_prefix="$fuzz_build/" \
        "$corpus" "$root/tests/fuzz/seeds" "$fuzz_build/lang" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "FAILED: $name found a fault. Its whole report is in $log, the input that shows it in $fuzz_build/" >&2
        exit 1
    fi
    echo "    $name: $(grep -E '^Done [0-9]+ runs' "$log" || echo 'done')"
done
echo "    done in $(elapsed $((SECONDS - start)))"

start=$SECONDS
echo "==> Running the tests"
if ! ctest --test-dir "$build" --output-on-failure -j"$jobs"; then
    echo "FAILED: some tests failed. Their whole output is in $build/Testing/Temporary/LastTest.log" >&2
    exit 1
fi
echo "    done in $(elapsed $((SECONDS - start)))"
echo "All built and tested in $(elapsed "$SECONDS")."
