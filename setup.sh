#!/usr/bin/env bash
# Sets up klconfig on Debian 12: installs what is missing, builds, and then
# either starts the program on the embedded demo database (run) or runs the
# whole test suite headless (test).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${KL_BUILD_DIR:-$here/build}"
action="${1:-}"

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-translations-l10n libgl-dev
  libsqlite3-dev sqlite3
  unixodbc-dev unixodbc tdsodbc libsqliteodbc
  postgresql odbc-postgresql  # the server database the tests start themselves
  libgtest-dev libgmock-dev
  file  # the Debian package generator (cpack -G DEB) needs it
  lintian  # the package test checks it as Debian would
  fonts-dejavu-core xvfb xauth
  poppler-utils  # the tests read the printed subsidiary journal back with pdftotext
  imagemagick xdotool  # screenshots of the windows under Xvfb, driven by the keyboard
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Instalando: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_all() {
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j "$(nproc)"
}

case "$action" in
  run)
    install_missing
    build_all
    demo="$build/demo.kldb"
    [ -f "$demo" ] || "$build/tools/klbase/klbase" demo "$demo"
    exec "$build/app/klconfig" "@Server=sqlite;@DbName=$demo;@Usuario=ADMIN;@Password=;@UsuarioLogeado=ADMIN;"
    ;;
  test)
    install_missing
    build_all
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 600
    ;;
  *)
    echo "uso: $0 run|test" >&2
    exit 2
    ;;
esac
