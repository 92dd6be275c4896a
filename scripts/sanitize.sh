#!/usr/bin/env bash
# Builds the whole program and its tests in the reliability tree (build-fuzz/)
# under AddressSanitizer and UndefinedBehaviorSanitizer and runs every test
# there: any memory error, leak or undefined behaviour fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_DIR="${KALYXON_FUZZ_DIR:-build-fuzz}"
scripts/build-fuzz.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
# Leaks inside system libraries (D-Bus, reached through Qt on a real X
# display) are not ours to mend; scripts/lsan.supp names them.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --test-dir "$FUZZ_DIR" --output-on-failure -j "$(nproc)" --timeout 1200
