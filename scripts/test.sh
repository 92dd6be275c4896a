#!/usr/bin/env bash
# Sets up, builds and runs every test of Kalyxon. GUI tests run on Qt's
# offscreen platform; the X11 end-to-end tests start their own Xvfb server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
BUILD_DIR="${KALYXON_BUILD_DIR:-build}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 600
# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer, then
# every fuzz target for a short while (KALYXON_FUZZ_SECONDS, default 20).
scripts/sanitize.sh
KALYXON_FUZZ_SEED="${KALYXON_FUZZ_SEED:-1}" scripts/fuzz.sh "${KALYXON_FUZZ_SECONDS:-20}"
# The Windows build, cross-compiled and run under Wine: its core tests, its
# kalyxon.exe against this build's kalyxon, the keyboard hook end to end and
# the installer (skipped, with the reason, where Wine cannot run).
scripts/build-windows.sh test
