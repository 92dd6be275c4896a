#!/usr/bin/env bash
# Configures and builds Kalyxon in ./build (or $KALYXON_BUILD_DIR), through
# ccache when it is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${KALYXON_BUILD_DIR:-build}"
. scripts/lib/ccache.sh
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
