#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Builds in build-tests/, apart from the build/ of ./run.sh, so neither rebuilds the other's files.
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh test
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELNOR_BUILD_TESTS=ON -DVELNOR_WERROR=ON \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build build-tests
QT_QPA_PLATFORM=offscreen ctest --test-dir build-tests --output-on-failure -j2
scripts/lint.sh build-tests
