#!/usr/bin/env bash
# Installs what is missing, builds a release build in build-package/ with Debian's hardening
# flags and makes the Debian package from it, then lets lintian check it: any error or
# warning fails. Install it with: sudo apt-get install ./build-package/velnor_*.deb
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# Debian's flags replace the Release build's own; the preprocessor's (fortify) go with the
# compiler's, as CMake passes no CPPFLAGS.
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=None -DVELNOR_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build build-package --target velnor velnor_docs
rm -f build-package/velnor_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/velnor_*.deb)
lintian --pedantic --fail-on error,warning "$deb"
echo "$deb"
