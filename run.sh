#!/usr/bin/env bash
# Builds Velnor (release), copies it into the program folder and starts it there.
# The program folder is ~/Velnor, or $VELNOR_DIR when set; record folders live beside the program.
set -euo pipefail
cd "$(dirname "$0")"

PROGRAM_DIR="${VELNOR_DIR:-$HOME/Velnor}"

# True when the display in the environment accepts a connection, not only when it is named.
display_answers() {
  [[ "${QT_QPA_PLATFORM:-}" == offscreen ]] && return 0
  if [[ -n "${WAYLAND_DISPLAY:-}" ]]; then
    local socket="$WAYLAND_DISPLAY"
    [[ "$socket" == /* ]] || socket="${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/$socket"
    [[ -S "$socket" ]] && return 0
  fi
  [[ -n "${DISPLAY:-}" ]] || return 1
  if command -v xdpyinfo >/dev/null; then
    timeout 10 xdpyinfo >/dev/null 2>&1
  else
    # Before the first install: a local display is its server's socket.
    local n="${DISPLAY#*:}"
    n="${n%%.*}"
    [[ "${DISPLAY%%:*}" == "" || "${DISPLAY%%:*}" == unix ]] || return 0
    [[ -S "/tmp/.X11-unix/X$n" ]]
  fi
}

# Velnor's lock of a program folder: in the user's runtime folder, named from the folder's
# real path (the first 16 hex digits of its SHA-256), as the program names it.
lock_file() {
  local real hash runtime="${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -un)}"
  real="$(realpath -m "$PROGRAM_DIR")"
  hash="$(printf %s "$real" | sha256sum)"
  echo "$runtime/velnor-${hash:0:16}.lock"
}

# Stops when a copy of Velnor is running in the program folder: its lock names its process.
# An earlier version kept its lock in the program folder itself.
refuse_running_copy() {
  local lock
  for lock in "$(lock_file)" "$PROGRAM_DIR/Velnor.lock"; do refuse_if_locked "$lock"; done
}

refuse_if_locked() {
  local lock="$1" pid host
  [[ -f "$lock" ]] || return 0
  { read -r pid && read -r _ && read -r host; } <"$lock" || true
  [[ "$pid" =~ ^[0-9]+$ ]] || return 0
  # A lock left by a copy that crashed, or carried over from another computer, is no
  # obstacle; Velnor takes it over.
  [[ -z "${host:-}" || "$host" == "$(hostname)" ]] || return 0
  [[ -d "/proc/$pid" && "$(cat "/proc/$pid/comm" 2>/dev/null)" == velnor ]] || return 0
  echo "Velnor is already running in $PROGRAM_DIR (process $pid on ${host:-this machine})." >&2
  echo "Close it first, then run ./run.sh again." >&2
  exit 1
}

if ! display_answers; then
  echo "Velnor needs a graphical display, and none answers (DISPLAY=${DISPLAY:-} WAYLAND_DISPLAY=${WAYLAND_DISPLAY:-})." >&2
  echo "Start it from a desktop session." >&2
  exit 1
fi
refuse_running_copy

scripts/deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELNOR_BUILD_TESTS=OFF >/dev/null
cmake --build build --target velnor

refuse_running_copy  # it may have started while this was building
mkdir -p "$PROGRAM_DIR"
cp -f build/velnor "$PROGRAM_DIR/velnor"
cd "$PROGRAM_DIR"
exec ./velnor "$@"
