#!/usr/bin/env bash
# Cross-builds Velnor for 64-bit Windows and makes
#   build-windows/Velnor-<version>-windows-x64.zip
# then tests it under Wine (scripts/windows-smoke.sh). Installs what is missing from
# Debian; the first run builds Qt for Windows (about 45 minutes on two cores) into
# ~/.cache/velnor, which later runs reuse.
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh windows
qt="$(scripts/build-qt-mingw.sh)"
deps="$(scripts/build-deps-mingw.sh)"
version="$(sed -n 's/^project(Velnor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"

cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELNOR_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/packaging/windows/mingw-toolchain.cmake" \
  -DCMAKE_FIND_ROOT_PATH="$qt;$deps;/usr/x86_64-w64-mingw32" -DCMAKE_PREFIX_PATH="$qt;$deps" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >/dev/null
cmake --build build-windows --target velnor tests_core

name="Velnor-$version-windows-x64"
stage="build-windows/$name"
rm -rf "$stage" "build-windows/$name.zip"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"
cp build-windows/velnor.exe "$stage/"
cp "$qt"/bin/Qt6{Core,Gui,Widgets,PrintSupport,Network}.dll "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
runtime="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
cp "$runtime/libstdc++-6.dll" "$runtime/libgcc_s_seh-1.dll" \
  /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$stage/"
# Qt's own buttons and dialogs in Japanese, found through qt.conf.
cp /usr/share/qt6/translations/qtbase_ja.qm "$stage/translations/"
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$stage/qt.conf"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
# UTF-8 with a byte-order mark: Notepad opens it as such.
{ printf '\xef\xbb\xbf'; sed "s/@VERSION@/$version/; s/\$/\r/" packaging/windows/readme-ja.txt; } \
  >"$stage/はじめにお読みください.txt"
find "$stage" -name '*.dll' -o -name '*.exe' | xargs x86_64-w64-mingw32-strip --strip-unneeded
(cd build-windows && zip -qr9 "$name.zip" "$name")

scripts/windows-smoke.sh "build-windows/$name.zip" build-windows/tests/core/tests_core.exe
echo "build-windows/$name.zip"
