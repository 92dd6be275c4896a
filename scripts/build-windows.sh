#!/usr/bin/env bash
# Kalyxon for Windows, cross-compiled with mingw-w64 and run under Wine.
#
#   scripts/build-windows.sh [build]   kalyxon.exe, its data and the core tests
#                                      in build-windows/ (or $KALYXON_WINDOWS_BUILD_DIR)
#   scripts/build-windows.sh test      build, then run the core tests under Wine,
#                                      compare kalyxon.exe with the Linux build
#                                      (build/ or $KALYXON_BUILD_DIR), type through
#                                      the real keyboard hook on Xvfb, and install,
#                                      run and uninstall the installer
#   scripts/build-windows.sh package   build, then the self-contained folder, a zip
#                                      and the installer Kalyxon-<version>-setup.exe
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
  $sudo apt-get update -qq || return 1
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

BUILD_DIR="${KALYXON_WINDOWS_BUILD_DIR:-build-windows}"
LINUX_DIR="${KALYXON_BUILD_DIR:-build}"
export WINEPREFIX="$PWD/$BUILD_DIR/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Wine's helper processes inherit the output pipes of whoever starts the
# first Wine program, so ninja and ctest would wait on them: a persistent
# server is started first, away from any pipe, and the prefix is made once,
# without a display. Stopped again when the script ends.
#
# (Re)starts the persistent Wine server, its desktop on $DISPLAY. Wine's
# desktop process picks the display driver for every program of the server:
# one started without a display leaves later windows on no display at all.
wine_reinicia() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  timeout 30 wineserver -w >/dev/null 2>&1 </dev/null || true
  wineserver -p >/dev/null 2>&1 </dev/null
  timeout 60 wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

wine_arranca() {
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    env -u DISPLAY timeout 300 wine wineboot -i >/dev/null 2>&1 </dev/null || true
  fi
  # A server left by wineboot (or an earlier run) would not be persistent.
  wine_reinicia
  trap wine_para EXIT
}
wine_para() {
  wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
}

compila() {
  local launcher
  . scripts/lib/ccache.sh
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
    # Once more, in case Wine itself failed to start the program (seen once
    # on a heavily loaded machine); a real difference shows again.
    rw=0
    win=$(cd "$BUILD_DIR/bin" && printf '%s' "$entrada" | timeout 60 wine ./kalyxon.exe "$@" 2>/dev/null | od -An -tx1) || rw=$?
  fi
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
  # A file with a Greek name, named in UTF-8 on the command line.
  local nombre="guión-λόγος.txt"
  printf 'L 222 O G O S space' | tee "$LINUX_DIR/bin/$nombre" > "$BUILD_DIR/bin/$nombre"
  casos=$((casos + 2))
  compara_uno "" type --sigma-final "$nombre" || fallos=$((fallos + 1))
  compara_uno "" convert --from betacode "$nombre" || fallos=$((fallos + 1))
  rm -f "$LINUX_DIR/bin/$nombre" "$BUILD_DIR/bin/$nombre"
  echo "windows: kalyxon.exe against the Linux build: $casos cases, $fallos different"
  [ "$fallos" -eq 0 ]
}

# Waits (at most about 20 s) until FILE holds exactly TEXT.
espera_texto() {
  local i
  for i in $(seq 200); do
    [ "$(cat "$1" 2>/dev/null)" == "$2" ] && return 0
    sleep 0.1
  done
  echo "windows: end-to-end: expected '$2', the edit control holds '$(cat "$1" 2>/dev/null)'"
  return 1
}

# The real low-level hook of kalyxon.exe on a private Xvfb desktop, keys
# typed with xdotool into the edit control of a small Win32 program: through
# the hook-only agent they come out as Greek, a Backspace deletes, and after
# F2 they stay Latin; then the desktop program, started with Greek on, turns
# them into Greek too. Last, the Windows tests that need a display.
extremo() {
  if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "windows: end-to-end test skipped: Xvfb or xdotool missing"
    return 0
  fi
  local t xvfb pantalla fallo=0
  t=$(mktemp -d)
  exec 8< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
  xvfb=$!
  pantalla=""
  read -r -t 30 pantalla <&8 || true
  if [ -z "$pantalla" ]; then
    echo "windows: end-to-end test skipped: Xvfb did not start"
    kill "$xvfb" 2>/dev/null || true
    exec 8<&-
    rm -rf "$t"
    return 0
  fi
  (
    export DISPLAY=":$pantalla"
    wine_reinicia
    wine "$BUILD_DIR/tests/windows/kalyxon_editprueba.exe" "$(winepath -w "$t/texto.txt")" \
      >/dev/null 2>&1 </dev/null &
    local wid agente escritorio principal
    wid=$(timeout 60 xdotool search --sync --name '^Kalyxon prueba$' | head -1)
    [ -n "$wid" ] || { echo "windows: end-to-end: the test window did not show"; exit 1; }
    # Without a window manager a new window gets no focus by itself.
    xdotool windowfocus --sync "$wid"
    mkfifo "$t/ordenes"
    wine "$BUILD_DIR/bin/kalyxon.exe" win32-agent --griego --sigma-final \
      <"$t/ordenes" >"$t/agente.out" 2>"$t/agente.err" &
    agente=$!
    exec 7>"$t/ordenes"
    for _ in $(seq 300); do grep -q ready "$t/agente.out" 2>/dev/null && break; sleep 0.1; done
    grep -q ready "$t/agente.out" || { echo "windows: end-to-end: the agent did not start"; cat "$t/agente.err"; exit 1; }
    xdotool key --delay 30 l apostrophe o g o s space
    espera_texto "$t/texto.txt" "λόγος " || exit 1
    xdotool key BackSpace
    espera_texto "$t/texto.txt" "λόγος" || exit 1
    xdotool key --delay 30 F2 a b c
    espera_texto "$t/texto.txt" "λόγοςabc" || exit 1
    echo quit >&7
    exec 7>&-
    timeout 30 tail --pid="$agente" -f /dev/null || true
    # The desktop program, in a folder of its own (the help a first start
    # opens marked as seen), with Greek ticked at start; then a second test
    # window, which takes the focus from it as a user's click would.
    mkdir -p "$t/escritorio"
    printf '[opciones]\r\nayuda=SI\r\n' > "$t/escritorio/kalyxon.ini"
    wine "$BUILD_DIR/bin/kalyxon.exe" --griego --settings-dir "$(winepath -w "$t/escritorio")" \
      >/dev/null 2>"$t/escritorio.err" </dev/null &
    escritorio=$!
    principal=$(timeout 60 xdotool search --sync --onlyvisible --name '^Kalyxon - escritura' | head -1)
    [ -n "$principal" ] || { echo "windows: end-to-end: the desktop program's main window did not show"; exit 1; }
    wine "$BUILD_DIR/tests/windows/kalyxon_editprueba.exe" "$(winepath -w "$t/texto2.txt")" "Kalyxon prueba 2" \
      >/dev/null 2>&1 </dev/null &
    wid=$(timeout 60 xdotool search --sync --name '^Kalyxon prueba 2$' | head -1)
    [ -n "$wid" ] || { echo "windows: end-to-end: the second test window did not show"; exit 1; }
    xdotool windowfocus --sync "$wid"
    xdotool key --delay 30 a b g space
    espera_texto "$t/texto2.txt" "αβγ " || exit 1
    kill "$escritorio" 2>/dev/null || true
    # The tests that need windows (skipped by ctest, which runs with no display).
    timeout 120 wine "$BUILD_DIR/bin/test_win32.exe" --gtest_filter='CajaMensaje.*:Soltar.*:Acerca.*' </dev/null >"$t/ventanas.out" 2>&1 ||
      { echo "windows: the tests with windows failed:"; tail -20 "$t/ventanas.out"; exit 1; }
  ) || fallo=1
  wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  exec 8<&-
  rm -rf "$t"
  if [ "$fallo" -eq 0 ]; then
    echo "windows: end-to-end: the hook of kalyxon.exe typed λόγος, a Backspace and Latin after F2; the desktop program's hook typed Greek; message boxes answer in Spanish, files dropped arrive, the About window opens and closes"
  fi
  return "$fallo"
}

VERSION=$(sed -n 's/^project(kalyxon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

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
if ! instala; then
  if [ "$accion" == test ]; then
    echo "windows: tests skipped: the packages for the Windows build could not be installed"
    exit 0
  fi
  exit 1
fi
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
    extremo
    scripts/package-windows.sh --test "$BUILD_DIR"
    ;;
  package)
    wine_arranca
    compila
    scripts/package-windows.sh "$BUILD_DIR"
    ;;
  *)
    echo "usage: $0 [build|test|package]" >&2
    exit 2
    ;;
esac
