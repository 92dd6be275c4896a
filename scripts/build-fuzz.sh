#!/usr/bin/env bash
# Configures and builds the reliability tree ./build-fuzz (or $KALYXON_FUZZ_DIR):
# the whole program and its tests under AddressSanitizer and
# UndefinedBehaviorSanitizer with clang, plus the libFuzzer targets of
# tests/fuzz, which share its objects. Arguments name the targets to build
# (default: all). KALYXON_FUZZ_SANITIZERS=undefined configures a tree without
# AddressSanitizer, the faster one for long fuzz sessions (give it its own
# KALYXON_FUZZ_DIR); a tree keeps its sanitizers until told others.
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_DIR="${KALYXON_FUZZ_DIR:-build-fuzz}"
. scripts/lib/ccache.sh
cmake -S . -B "$FUZZ_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKALYXON_SANITIZE=ON ${KALYXON_FUZZ_SANITIZERS:+-DKALYXON_SANITIZERS="$KALYXON_FUZZ_SANITIZERS"} \
  -DKALYXON_FUZZ=ON -DKALYXON_BENCH=OFF "${launcher[@]}" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$FUZZ_DIR" -j "$(nproc)" "${targets[@]}"
