#!/usr/bin/env bash
# Kalyxon for Windows, cross-compiled with mingw-w64 and run under Wine.
#
#   scripts/build-windows.sh [build]   kalyxon.exe, its data and the core tests
#                                      in build-windows/ (or $KALYXON_WINDOWS_BUILD_DIR)
#   scripts/build-windows.sh test      build, then run the core tests under Wine
#                                      and compare kalyxon.exe with the Linux
#                                      build (build/ or $KALYXON_BUILD_DIR)
#
# Installs its Debian packages first (those already present are not fetched
# again). Every Wine program runs in a private prefix inside the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64
          googletest cmake ninja-build zip nsis xvfb xdotool)

instala() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

BUILD_DIR="${KALYXON_WINDOWS_BUILD_DIR:-build-windows}"
LINUX_DIR="${KALYXON_BUILD_DIR:-build}"
export WINEPREFIX="$PWD/$BUILD_DIR/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Wine's helper processes inherit the output pipes of whoever starts the
# first Wine program, so ninja and ctest would wait on them: a persistent
# server is started first, away from any pipe, and the prefix is made once,
# without a display. Stopped again when the script ends.
wine_arranca() {
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    env -u DISPLAY timeout 300 wine wineboot -i >/dev/null 2>&1 </dev/null || true
  fi
  wineserver -p >/dev/null 2>&1 </dev/null
  timeout 60 wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  trap wine_para EXIT
}
wine_para() {
  wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
}

compila() {
  local launcher=()
  if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$PWD")}" CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DKALYXON_QT=OFF -DKALYXON_X11=OFF -DKALYXON_BENCH=OFF \
    "${launcher[@]}" >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)"
}

# Runs one case in both program folders; prints a difference and returns 1
# when their standard output or exit status differ.
compara_uno() {
  local entrada="$1"; shift
  local lin win rl=0 rw=0
  entrada="${entrada//\\n/$'\n'}"
  lin=$(cd "$LINUX_DIR/bin" && printf '%s' "$entrada" | ./kalyxon "$@" 2>/dev/null | od -An -tx1) || rl=$?
  win=$(cd "$BUILD_DIR/bin" && printf '%s' "$entrada" | timeout 60 wine ./kalyxon.exe "$@" 2>/dev/null | od -An -tx1) || rw=$?
  if [ "$lin" != "$win" ] || [ "$rl" != "$rw" ]; then
    echo "DIFFERENT: kalyxon $* <<< $entrada (exit $rl / $rw)"
    diff <(echo "$lin") <(echo "$win") | head -6
    return 1
  fi
}

# kalyxon.exe against the Linux kalyxon: the cases of tests/windows/casos.txt
# and every string of the keyboard tests typed with no option and with all.
compara() {
  if [ ! -x "$LINUX_DIR/bin/kalyxon" ]; then
    echo "windows: comparison skipped: no Linux build in $LINUX_DIR (run scripts/build.sh)"
    return 0
  fi
  local fallos=0 casos=0 linea args entrada guion
  while IFS= read -r linea; do
    [[ -z "$linea" || "$linea" == \#* ]] && continue
    entrada=""
    if [[ "$linea" == *" <<< "* ]]; then
      entrada="${linea#* <<< }"
      linea="${linea%% <<< *}"
    fi
    read -r -a args <<< "$linea"
    casos=$((casos + 1))
    compara_uno "$entrada" "${args[@]}" || fallos=$((fallos + 1))
  done < tests/windows/casos.txt
  while IFS= read -r guion; do
    for opciones in "" "--sigma-final --ks --ps --iota --espiritus --numeros --angulos"; do
      read -r -a args <<< "type $opciones"
      casos=$((casos + 1))
      compara_uno "$guion" "${args[@]}" || fallos=$((fallos + 1))
    done
  done < <(grep -ohE '"[^"\\]+"' tests/keyboard/*_test.cpp | tr -d '"' | sort -u)
  echo "windows: kalyxon.exe against the Linux build: $casos cases, $fallos different"
  [ "$fallos" -eq 0 ]
}

# Wine needs a 64-bit x86 host; a machine where it cannot start skips the
# Windows tests and says why.
wine_funciona() {
  if [ "$(uname -m)" != x86_64 ]; then
    echo "windows: tests skipped: Wine runs 64-bit Windows programs only on x86-64 (this is $(uname -m))"
    return 1
  fi
  if ! timeout 120 wine cmd /c exit >/dev/null 2>&1 </dev/null; then
    echo "windows: tests skipped: Wine cannot start here (wine cmd /c exit failed)"
    return 1
  fi
}

accion="${1:-build}"
instala
case "$accion" in
  build)
    wine_arranca
    compila
    scripts/package-windows.sh "$BUILD_DIR"
    ;;
  test)
    wine_arranca
    wine_funciona || exit 0
    compila
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 120
    compara
    scripts/package-windows.sh --test "$BUILD_DIR"
    ;;
  *)
    echo "usage: $0 [build|test]" >&2
    exit 2
    ;;
esac
