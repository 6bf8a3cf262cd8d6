#!/usr/bin/env bash
# Installs what is missing, builds a release build in build-package/ and makes the Debian
# package from it. Install it with: sudo apt-get install ./build-package/velnor_*.deb
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh package
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELNOR_BUILD_TESTS=OFF >/dev/null
cmake --build build-package --target velnor
rm -f build-package/velnor_*.deb
(cd build-package && cpack -G DEB)
ls build-package/velnor_*.deb
