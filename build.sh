#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine, builds, and then runs the program or the tests.
#   bash build.sh run     build and start the program
#   bash build.sh test    build and run every test
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6svg6 libgl-dev qt6-charts-dev libqt6opengl6-dev
  libsqlite3-dev sqlite3
  python3 python3-jieba unicode-data rime-data-stroke
  fonts-wqy-microhei fonts-arphic-gkai00mp
  dbus dbus-x11 fcitx5 fcitx5-frontend-qt6 fcitx5-table libime-bin ibus ibus-table
  xvfb xauth xdotool
  qt6-translations-l10n
  dpkg-dev file lintian appstream desktop-file-utils
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j"$(nproc)"
}

case "${1:-}" in
  run)
    install_missing
    build
    exec build/bin/orvane-tutor
    ;;
  test)
    install_missing
    build
    cd build
    ctest --output-on-failure -j"$(nproc)"
    ;;
  *)
    echo "usage: bash build.sh run|test" >&2
    exit 2
    ;;
esac
