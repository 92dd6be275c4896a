#!/usr/bin/env bash
# The Windows program as a user gets it, from a cross build (scripts/build-windows.sh):
#
#   scripts/package-windows.sh [BUILD_DIR]         the folder Kalyxon-<version>/,
#                                                  Kalyxon-<version>.zip and the
#                                                  installer Kalyxon-<version>-setup.exe
#                                                  in BUILD_DIR/package/
#   scripts/package-windows.sh --test [BUILD_DIR]  the same, then installs it silently
#                                                  under Wine in a prefix of its own,
#                                                  checks the files and the Start-menu
#                                                  entry, and uninstalls it
#
# BUILD_DIR defaults to $KALYXON_WINDOWS_BUILD_DIR or build-windows. The indicator
# icons are painted by a Qt tool that the cross build does not have: they are
# taken from the Linux build ($KALYXON_BUILD_DIR or build) when it has them.
set -euo pipefail
cd "$(dirname "$0")/.."

prueba=0
if [ "${1:-}" = "--test" ]; then
  prueba=1
  shift
fi
BUILD_DIR="${1:-${KALYXON_WINDOWS_BUILD_DIR:-build-windows}}"
LINUX_DIR="${KALYXON_BUILD_DIR:-build}"
VERSION=$(sed -n 's/^project(kalyxon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
BIN="$BUILD_DIR/bin"
SALIDA="$BUILD_DIR/package"
NOMBRE="Kalyxon-$VERSION"
CARPETA="$SALIDA/$NOMBRE"

if [ ! -f "$BIN/kalyxon.exe" ] || [ ! -f "$BIN/ALPHA.db" ]; then
  echo "package-windows: no Windows build in $BIN (run scripts/build-windows.sh)" >&2
  exit 1
fi

# ---- The folder -------------------------------------------------------------
# Built beside its final place and renamed into it, so an interrupted run never
# leaves a half-filled folder under the final name.
mkdir -p "$SALIDA"
rm -rf "$CARPETA.tmp"
mkdir -p "$CARPETA.tmp/help"
cp "$BIN/kalyxon.exe" "$BIN/ALPHA.db" "$BIN"/LEXICA*.db "$CARPETA.tmp/"
cp data/help/* "$CARPETA.tmp/help/"
iconos=0
for d in "$BIN" "$LINUX_DIR/bin"; do
  if ls "$d"/*.ico >/dev/null 2>&1; then
    cp "$d"/*.ico "$CARPETA.tmp/"
    iconos=1
    break
  fi
done
[ "$iconos" -eq 1 ] || echo "package-windows: no icons found (build the Linux program first); the buttons will show a mark instead"
# Licences: the program's, the dictionaries' (built from CC BY-SA texts, so
# under CC BY-SA, with the attribution of their sources) and SQLite's notice.
cp LICENSE "$CARPETA.tmp/LICENSE.txt"
cp data/lexica/LICENSE-CC-BY-SA-4.0.txt "$CARPETA.tmp/LICENSE-CC-BY-SA-4.0.txt"
cp data/lexica/README.md "$CARPETA.tmp/DICCIONARIOS.md"
# Beside the dictionaries, as on Linux: "Acerca de Kalyxon" shows them.
cp "$BIN"/LEXICA-ATRIBUCION.txt "$BIN"/LEXICA-LICENCIA-CC-BY-SA-4.0.txt "$CARPETA.tmp/"
cp third_party/sqlite/README.md "$CARPETA.tmp/SQLITE.md"
rm -rf "$CARPETA"
mv "$CARPETA.tmp" "$CARPETA"

# ---- The zip and the installer ------------------------------------------------------
rm -f "$SALIDA/$NOMBRE.zip.tmp"
(cd "$SALIDA" && zip -qr -X "$NOMBRE.zip.tmp" "$NOMBRE")
mv "$SALIDA/$NOMBRE.zip.tmp" "$SALIDA/$NOMBRE.zip"

SETUP="$SALIDA/$NOMBRE-setup.exe"
rm -f "$SETUP.tmp"
makensis -V2 -DVERSION="$VERSION" -DSOURCE="$(cd "$CARPETA" && pwd)" -DOUTFILE="$(cd "$SALIDA" && pwd)/$NOMBRE-setup.exe.tmp" \
  packaging/windows/kalyxon.nsi >/dev/null
mv "$SETUP.tmp" "$SETUP"
echo "package-windows: $CARPETA, $SALIDA/$NOMBRE.zip, $SETUP"

[ "$prueba" -eq 1 ] || exit 0

# ---- Install, check, uninstall under Wine -------------------------------------------
if [ "$(uname -m)" != x86_64 ]; then
  echo "package-windows: installer test skipped: Wine runs 64-bit Windows programs only on x86-64 (this is $(uname -m))"
  exit 0
fi
export WINEPREFIX="$PWD/$BUILD_DIR/wine-installer" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  env -u DISPLAY timeout 300 wine wineboot -i >/dev/null 2>&1 </dev/null || true
fi
timeout 30 wineserver -k >/dev/null 2>&1 || true
# A virtual display for the desktop check, there before Wine's server starts:
# windows of a server started without a display can never be shown.
xvfb=""
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  exec 7< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
  xvfb=$!
  pantalla=""
  read -r -t 30 pantalla <&7 || true
  if [ -n "$pantalla" ]; then export DISPLAY=":$pantalla"; else xvfb=""; fi
fi
# A server of its own, away from this script's output pipes (Wine's helpers
# would keep them open); stopped when the script ends.
wineserver -p >/dev/null 2>&1 </dev/null
trap 'wineserver -k >/dev/null 2>&1 || true; timeout 30 wineserver -w >/dev/null 2>&1 || true; [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true' EXIT
if ! timeout 120 wine cmd /c exit >/dev/null 2>&1 </dev/null; then
  echo "package-windows: installer test skipped: Wine cannot start here (wine cmd /c exit failed)"
  exit 0
fi

usuario=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -1)
perfil="$WINEPREFIX/drive_c/users/$usuario"
destino="$perfil/AppData/Local/Programs/Kalyxon"
menu="$perfil/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kalyxon"
fallos=0
comprueba() {  # description, then a test command
  local que="$1"
  shift
  if "$@"; then :; else
    echo "package-windows: FAILED: $que"
    fallos=$((fallos + 1))
  fi
}

# A silent install runs to its end before returning.
timeout 120 wine "$SETUP" /S </dev/null >/dev/null 2>&1 || true
for f in kalyxon.exe ALPHA.db LEXICA.db LEXICA_completo.db help/index.html help/general.html \
         LICENSE.txt LICENSE-CC-BY-SA-4.0.txt DICCIONARIOS.md LEXICA-ATRIBUCION.txt uninstall.exe; do
  comprueba "installed $f" test -s "$destino/$f"
done
comprueba "Start-menu entry" test -s "$menu/Kalyxon.lnk"
clave='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalyxon'
no() { ! "$@"; }
registrada() { timeout 60 wine reg query "$clave" </dev/null >/dev/null 2>&1; }
comprueba "uninstall entry in the registry" registrada
# The installed program runs from its folder (its data beside it).
version=$(cd "$destino" && timeout 60 wine ./kalyxon.exe --version </dev/null 2>/dev/null | tr -d '\r')
comprueba "installed kalyxon.exe runs ('$version')" test "$version" = "kalyxon $VERSION"

# The installed desktop program on a virtual display: its notice shows,
# "Aceptar" opens the main window, closing that saves the settings beside the
# program and ends it. (The help index a first start opens is marked as seen.)
printf '[opciones]\r\nayuda=SI\r\n' > "$destino/kalyxon.ini"
if [ -n "$xvfb" ]; then
  estado="$(cd "$SALIDA" && pwd)/escritorio.rc"
  rm -f "$estado"
  (cd "$destino" && timeout 120 wine ./kalyxon.exe </dev/null >/dev/null 2>&1; echo $? > "$estado") &
  programa=$!
  aviso=$(timeout 60 xdotool search --sync --onlyvisible --name '^Kalyxon$' 2>/dev/null | head -1 || true)
  comprueba "the notice window shows" test -n "$aviso"
  if [ -n "$aviso" ]; then
    eval "$(xdotool getwindowgeometry --shell "$aviso")"
    xdotool mousemove --window "$aviso" $((WIDTH - 147)) 293 click 1  # "Aceptar"
    principal=$(timeout 60 xdotool search --sync --onlyvisible --name '^Kalyxon - escritura' 2>/dev/null | head -1 || true)
    comprueba "Aceptar opens the main window" test -n "$principal"
    [ -n "$principal" ] && xdotool windowfocus --sync "$principal" key alt+F4
  fi
  wait "$programa" || true
  comprueba "closing the main window ends the program normally" test "$(cat "$estado" 2>/dev/null)" = 0
  comprueba "closing saves the settings" grep -q '^posx=' "$destino/kalyxon.ini"
  rm -f "$estado"
else
  echo "package-windows: desktop check skipped: no virtual display (Xvfb and xdotool needed)"
fi

# A settings file the user made stays; everything shipped goes.
# A silent uninstall copies itself away and returns at once; the copy does
# the work (the server is persistent, so wineserver -w would wait for ever).
timeout 120 wine "$destino/uninstall.exe" /S </dev/null >/dev/null 2>&1 || true
for _ in $(seq 120); do
  [ -e "$destino/uninstall.exe" ] || [ -e "$destino/kalyxon.exe" ] || break
  sleep 0.5
done
comprueba "kalyxon.exe removed" test ! -e "$destino/kalyxon.exe"
comprueba "help removed" test ! -e "$destino/help"
comprueba "dictionaries' attribution removed" test ! -e "$destino/LEXICA-ATRIBUCION.txt"
comprueba "Start-menu entry removed" test ! -e "$menu/Kalyxon.lnk"
comprueba "uninstall entry removed" no registrada
comprueba "the user's settings kept" test -s "$destino/kalyxon.ini"
rm -rf "$destino"

if [ "$fallos" -ne 0 ]; then
  echo "package-windows: installer test: $fallos checks failed"
  exit 1
fi
echo "package-windows: installer test passed (silent install, files, Start menu, uninstall)"
