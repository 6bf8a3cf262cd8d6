#!/usr/bin/env bash
# Builds the spreadsheet libraries (zlib, libzip, libxlsxwriter) and GoogleTest for 64-bit
# Windows as static libraries, from Debian's own sources of the versions the Linux build
# uses, once: kept in
#   ~/.cache/velnor/deps-mingw               ($VELNOR_CACHE instead of ~/.cache/velnor)
# and reused while its stamp matches. Static, so the package ships no DLL of theirs.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cache="${VELNOR_CACHE:-$HOME/.cache/velnor}"
prefix="$cache/deps-mingw"
toolchain="$here/packaging/windows/mingw-toolchain.cmake"
sources=(zlib libzip libxlsxwriter)
stamp="$(for s in "${sources[@]}"; do apt-cache showsrc "$s" | sed -n 's/^Version: //p' | head -n1; done | tr '\n' ' ')$(dpkg-query -W -f='${Version} ' googletest)$(sha256sum "$0" "$toolchain" | cut -c1-16 | tr '\n' ' ')"
if [[ -f "$prefix/.velnor-stamp" && "$(cat "$prefix/.velnor-stamp")" == "$stamp" ]]; then
  echo "$prefix"
  exit 0
fi

src="$cache/src"
mkdir -p "$src"
tree_of() { find "$src" -maxdepth 1 -type d -name "$1-[0-9]*" | sort | tail -n1; }
for s in "${sources[@]}"; do
  [[ -n "$(tree_of "$s")" ]] || (cd "$src" && apt-get source -qq "$s" >&2)
done

rm -rf "$prefix" "$cache/build-deps-mingw"
build="$cache/build-deps-mingw"
configure() {  # name, then its own options
  local name=$1
  shift
  cmake -S "$(tree_of "$name")" -B "$build/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix;/usr/x86_64-w64-mingw32" -DBUILD_SHARED_LIBS=OFF "$@" >&2
}
install() {
  cmake --build "$build/$1" --parallel "$(nproc)" >&2
  cmake --install "$build/$1" >&2
}
# zlib's own build would also make a DLL from a resource file Debian's source lacks: only
# its static library is built.
configure zlib
cmake --build "$build/zlib" --target zlibstatic >&2
mkdir -p "$prefix/lib" "$prefix/include"
cp "$build/zlib/libzlibstatic.a" "$prefix/lib/libz.a"
cp "$(tree_of zlib)/zlib.h" "$build/zlib/zconf.h" "$prefix/include/"
configure libzip -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
  -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
  -DENABLE_ZSTD=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
install libzip
configure libxlsxwriter -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DUSE_SYSTEM_MINIZIP=OFF \
  -DZLIB_ROOT="$prefix"
install libxlsxwriter
# GoogleTest from Debian's source of it, for the core tests built for Windows.
cmake -S /usr/src/googletest -B "$build/googletest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF \
  -DBUILD_SHARED_LIBS=OFF >&2
install googletest
echo "$stamp" >"$prefix/.velnor-stamp"
rm -rf "$build"
echo "$prefix"
