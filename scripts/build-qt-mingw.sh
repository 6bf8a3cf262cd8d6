#!/usr/bin/env bash
# Builds Qt's base module (Core, Gui, Widgets, PrintSupport) for 64-bit Windows from
# Debian's own source of the Qt the Linux build uses, once: the result is kept in
#   ~/.cache/velnor/qt-<version>-mingw       ($VELNOR_CACHE instead of ~/.cache/velnor)
# and reused while its stamp (the version and the flags below) matches. Prints the folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cache="${VELNOR_CACHE:-$HOME/.cache/velnor}"
version="$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/+.*//; s/-.*//')"
prefix="$cache/qt-$version-mingw"
toolchain="$here/packaging/windows/mingw-toolchain.cmake"

# What Velnor does not use stays out: no SQL or XML, no OpenGL or Vulkan, no TLS, and no
# libraries the package would have to ship. Network stays: one running copy hands a
# second start over through a local socket. Debian's source lacks the tablet header;
# PrintSupport in this version links only with Direct2D on.
flags=(-xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32-
  -qt-host-path /usr -release -shared -nomake tests -nomake examples
  -no-opengl -no-dbus -no-icu -no-openssl -no-zstd -qt-zlib -qt-pcre -qt-libpng
  -qt-harfbuzz -qt-doubleconversion -no-freetype -no-libjpeg
  -no-feature-sql -no-feature-xml -no-feature-concurrent
  -no-feature-vulkan -no-feature-tabletevent -feature-direct2d -no-feature-direct2d1_1)
stamp="$version $(printf "%s " "${flags[@]}")"

if [[ -f "$prefix/.velnor-stamp" && "$(cat "$prefix/.velnor-stamp")" == "$stamp" ]]; then
  echo "$prefix"
  exit 0
fi

src="$cache/src"
mkdir -p "$src"
tree="$(find "$src" -maxdepth 1 -type d -name "qt6-base-$version*" | head -n1)"
if [[ -z "$tree" ]]; then
  if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
    # Debian's source packages come from the same mirror as its binaries.
    SUDO=""
    [[ $(id -u) -ne 0 ]] && SUDO="sudo"
    $SUDO tee /etc/apt/sources.list.d/velnor-deb-src.sources >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    $SUDO apt-get update -qq
  fi
  (cd "$src" && apt-get source -qq "qt6-base=$(dpkg-query -W -f='${Version}' qt6-base-dev)" >&2)
  tree="$(find "$src" -maxdepth 1 -type d -name "qt6-base-$version*" | head -n1)"
fi

build="$cache/build-qt-$version-mingw"
rm -rf "$build" "$prefix"
mkdir -p "$build"
echo "Building Qt $version for Windows in $build (about 40 minutes on two cores)" >&2
(cd "$build" && "$tree/configure" -prefix "$prefix" "${flags[@]}" -- \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >&2)
cmake --build "$build" --parallel "$(nproc)" >&2
cmake --install "$build" >&2
echo "$stamp" >"$prefix/.velnor-stamp"
rm -rf "$build"
echo "$prefix"
