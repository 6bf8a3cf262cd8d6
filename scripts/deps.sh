#!/usr/bin/env bash
# Installs the Debian packages that one of the project's commands needs:
#   scripts/deps.sh run       build Velnor and run it (./run.sh)
#   scripts/deps.sh test      build and run the tests and checks (./test.sh), the benchmarks
#   scripts/deps.sh package   build the Debian package (./package.sh)
#   scripts/deps.sh windows   cross-build the Windows package and test it under Wine
#                             (./package-windows.sh)
# Only packages that are missing are installed; uses sudo when not root. Each package is
# listed once, and none that a listed one already pulls in (qt6-base-dev brings the Qt
# libraries, OpenGL headers and platform plugins; libgtest-dev brings googletest).
set -euo pipefail

BUILD=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libxkbcommon-dev libxlsxwriter-dev libzip-dev)
# The tables are drawn in these fonts; Qt's own menus and buttons speak Japanese.
FONTS=(fonts-ipafont-mincho fonts-ipafont-gothic qt6-translations-l10n)

case "${1:-}" in
  run) PACKAGES=("${BUILD[@]}" "${FONTS[@]}" x11-utils) ;;  # xdpyinfo asks the display
  test)
    PACKAGES=("${BUILD[@]}" "${FONTS[@]}" libgtest-dev libbenchmark-dev
      desktop-file-utils appstream clang clang-tidy clang-format libclang-rt-14-dev poppler-utils syncthing python3-openpyxl)
    ;;
  package) PACKAGES=("${BUILD[@]}" dpkg-dev file lintian) ;;  # dpkg-shlibdeps finds the libraries
  windows)
    # Qt's host tools (moc, rcc) come from qt6-base-dev; dpkg-dev fetches Qt's source;
    # googletest is its source, built again with MinGW for the core tests.
    PACKAGES=("${BUILD[@]}" dpkg-dev xz-utils g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
      googletest wine wine64 xvfb xdotool zip unzip fonts-ipafont-gothic)
    ;;
  *)
    echo "usage: $0 run|test|package|windows" >&2
    exit 2
    ;;
esac

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then
    if command -v sudo >/dev/null; then SUDO="sudo"; else
      echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
      exit 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
