#!/usr/bin/env bash
# Checks of the source tree that need no build: every C++ file is formatted as
# .clang-format says, and the core's layers include nothing of Qt.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang-format

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run -Werror "${sources[@]}"

# Qt's headers are named Q... or Qt...; the core's layers are for every front end.
if grep -nE '^\s*#\s*include\s*[<"](Q[A-Za-z]*|Qt[A-Za-z]*/[^>"]*)[>"]' core/io core/lump core/dialog -r; then
  echo "check-tree: the core's layers must not include Qt headers (above)" >&2
  exit 1
fi
echo "check-tree: formatting and layers are clean (${#sources[@]} C++ files)"
