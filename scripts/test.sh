#!/usr/bin/env bash
# Installs what is needed, then builds and runs the whole test suite twice:
# a normal build, and one with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

run_suite() {
    local dir="$1"
    shift
    bash scripts/build.sh "$dir" "$@"
    ctest --test-dir "$dir" --output-on-failure --timeout 600 -j2
}

# A few seconds of every fuzz target (clang, libFuzzer) from its seed corpus in
# fuzz/corpus/<target>/; new inputs go to a scratch folder, never into the repository.
fuzz_smoke() {
    CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSIEVOMATIC_FUZZ=ON -DSIEVOMATIC_TESTS=OFF -DSIEVOMATIC_WERROR=ON >/dev/null
    cmake --build build-fuzz
    local seeds target scratch
    for seeds in fuzz/corpus/*/; do
        target="$(basename "$seeds")"
        scratch="build-fuzz/corpus-smoke/$target"
        mkdir -p "$scratch"
        "build-fuzz/fuzz/$target" -max_total_time=5 "$scratch" "$seeds"
    done
}

run_suite build
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite build-asan -DSIEVOMATIC_SANITIZE=ON
fuzz_smoke
