#!/usr/bin/env bash
# Sets up, builds and starts the Kalyxon desktop program from the build tree.
# Extra arguments go to the program (for example: scripts/run.sh --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exec "${KALYXON_BUILD_DIR:-build}/bin/kalyxon" "$@"
