#!/usr/bin/env bash
# Configures and builds Kalyxon in ./build (or $KALYXON_BUILD_DIR).
# When ccache is installed it is used, so that several checkouts of the tree
# (and rebuilds after switching branches) share their compiled objects.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${KALYXON_BUILD_DIR:-build}"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$PWD")}" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
