#!/usr/bin/env bash
# clang-format and clang-tidy over the program's sources, when the tools are installed.
# Usage: scripts/lint.sh BUILD_DIR   (a build configured with compile commands)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-tests}"

if command -v clang-format >/dev/null; then
  git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
  echo "clang-format: clean"
else
  echo "clang-format is not installed; formatting not checked"
fi

tidy=$(command -v run-clang-tidy || command -v run-clang-tidy-14 || true)
if [[ -n "$tidy" && -f "$build/compile_commands.json" ]]; then
  out=$("$tidy" -p "$build" -quiet -j "$(nproc)" "$(pwd)/(app|core|ui)/.*\.cpp$" 2>/dev/null || true)
  findings=$(grep -E "(warning|error):" <<<"$out" | sort -u || true)
  if [[ -n "$findings" ]]; then
    echo "$findings"
    echo "clang-tidy: $(wc -l <<<"$findings") findings" >&2
    exit 1
  fi
  echo "clang-tidy: clean"
else
  echo "clang-tidy is not installed; lint not checked"
fi
