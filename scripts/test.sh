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

run_suite build
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite build-asan -DSIEVOMATIC_SANITIZE=ON
