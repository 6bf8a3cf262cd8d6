#!/usr/bin/env bash
# clang-format and clang-tidy over the program's sources.
# Usage: scripts/lint.sh BUILD_DIR   (a build configured with compile commands)
# With CI=true every file is checked and a missing tool fails the run; in a developer's tree
# clang-tidy looks again only at files changed since they last came out clean.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-tests}"
ci=false
[[ "${CI:-}" == "true" ]] && ci=true

missing() {
  if $ci; then
    echo "$1 is not installed; CI cannot pass without it" >&2
    exit 1
  fi
  echo "$1 is not installed; not checked"
}

if command -v clang-format >/dev/null; then
  git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
  echo "clang-format: clean"
else
  missing clang-format
fi

if ! command -v clang-tidy >/dev/null; then
  missing clang-tidy
elif [[ ! -f "$build/compile_commands.json" ]]; then
  missing "$build/compile_commands.json"
elif $ci; then
  python3 scripts/tidy.py "$build" --all
else
  python3 scripts/tidy.py "$build"
fi
