#!/usr/bin/env bash
# Installs the Debian packages Kalyxon needs to build, run and test.
# Packages already present are not fetched again, so a prepared machine needs
# no network.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config
  # engine: databases and Unicode normalisation
  libsqlite3-dev sqlite3 libicu-dev
  # the help page made from the user guide
  libcmark-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # desktop front end
  qt6-base-dev libgl-dev fonts-dejavu-core fonts-noto-core
  # Qt's own Spanish strings; the Wayland platform for sessions without X
  qt6-translations-l10n qt6-wayland
  # X11 keyboard backend and its end-to-end tests
  libx11-dev libxi-dev libxtst-dev xvfb xdotool x11-utils
  # IBus input method engine (Wayland and X11) and its end-to-end test
  ibus libibus-1.0-dev dbus
  # sanitizer build and fuzz targets (scripts/sanitize.sh, scripts/fuzz.sh)
  clang libclang-rt-dev llvm
  # reference BetaCode converter used by the comparison benchmark and test
  unibetacode
  # the Windows cross build and its tests under Wine (scripts/build-windows.sh)
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 nsis zip googletest
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
