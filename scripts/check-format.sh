#!/usr/bin/env bash
# Fails when a source file of src/, tools/, tests/ or bench/ differs from what the repository's
# .clang-format makes of it (clang-format -i on the file fixes it).
set -euo pipefail
cd "$(dirname "$0")/.."
FORMAT=${CLANG_FORMAT:-clang-format}
if ! find src tools tests bench -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
  xargs -0 "$FORMAT" --dry-run -Werror; then
  echo "check-format: the files above differ from the project's format (clang-format -i FILE)" >&2
  exit 1
fi
echo "check-format: every source file keeps the project's format"
