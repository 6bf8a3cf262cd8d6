#!/usr/bin/env bash
# Tests the Windows package under Wine, in an Xvfb display of its own and a fresh Wine
# prefix:  scripts/windows-smoke.sh Velnor-<version>-windows-x64.zip [tests_core.exe]
# - the core tests built for Windows pass (the code page converter of Windows among them);
# - velnor.exe, unpacked into a fresh program folder holding a record folder made on
#   Windows, shows its main window, adds one person through the keyboard and ends; then
#   every file is compared byte for byte with the expected ones.
# Every wait has a deadline.
set -euo pipefail
zip="$(realpath "$1")"
tests="${2:+$(realpath "$2")}"
here="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
xvfb=""
cleanup() {
  [[ -n "${WINEPREFIX:-}" ]] && wineserver -k 2>/dev/null || true
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "windows-smoke: $*" >&2
  exit 1
}
# Waits up to $1 seconds for the command after it to succeed.
within() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.2
  done
}

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
within 20 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || fail "the Wine prefix could not be made"
wineserver -w

unzip -q "$zip" -d "$work"
prog="$(find "$work" -maxdepth 1 -type d -name 'Velnor-*')"
[[ -x "$prog/velnor.exe" || -f "$prog/velnor.exe" ]] || fail "velnor.exe is not in the package"

if [[ -n "$tests" ]]; then
  # Beside the package's DLLs, so that it finds them as velnor.exe does.
  cp "$tests" "$prog/"
  (cd "$prog" && timeout 600 wine ./tests_core.exe --gtest_brief=1) || fail "the core tests failed under Wine"
  rm "$prog/tests_core.exe"
  wineserver -w
fi

# A record folder as Windows keeps it: code page 932, CR LF, NEC and IBM codes.
mkdir -p "$prog/%テスト"
cp "$here"/tests/data/folder_nec_ibm/* "$prog/%テスト/"
cp "$here/tests/data/windows_smoke/Velnor.ini" "$prog/"

(cd "$prog" && exec wine ./velnor.exe) >"$work/velnor.log" 2>&1 &
velnor=$!
within 60 xdotool search --name "再訪問記録一覧" || fail "the main window did not appear"
window="$(xdotool search --name "再訪問記録一覧" | head -n1)"
activate() { xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"; }
activate
# F1 adds a person on the input screen; the name is typed, F4 closes it, F5 ends.
xdotool key F1
within 20 xdotool search --name "入力" || fail "the input screen did not appear"
xdotool type --delay 50 "smoke"
xdotool key F4
sleep_until_closed() { ! xdotool search --name "入力"; }
within 20 sleep_until_closed || fail "the input screen did not close"
activate
xdotool key F5
within 30 bash -c "! kill -0 $velnor" || fail "velnor.exe did not end"

expected="$here/tests/data/windows_smoke/expected"
(cd "$expected" && find . -type f | sort) >"$work/want"
(cd "$prog/%テスト" && find . -type f | sort) >"$work/got"
diff -u "$work/want" "$work/got" || fail "the record folder holds other files than expected"
while read -r f; do
  cmp "$expected/$f" "$prog/%テスト/$f" || fail "$f differs from the expected bytes"
done <"$work/want"
echo "windows-smoke: passed"
