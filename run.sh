#!/usr/bin/env bash
# Builds Velnor (release), copies it into the program folder and starts it there.
# The program folder is ~/Velnor, or $VELNOR_DIR when set; record folders live beside the program.
set -euo pipefail
cd "$(dirname "$0")"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && "${QT_QPA_PLATFORM:-}" != "offscreen" ]]; then
  echo "Velnor needs a graphical display, and none was found (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
  echo "Start it from a desktop session." >&2
  exit 1
fi

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELNOR_BUILD_TESTS=OFF >/dev/null
cmake --build build --target velnor

PROGRAM_DIR="${VELNOR_DIR:-$HOME/Velnor}"
mkdir -p "$PROGRAM_DIR"
cp -f build/velnor "$PROGRAM_DIR/velnor"
cd "$PROGRAM_DIR"
exec ./velnor "$@"
