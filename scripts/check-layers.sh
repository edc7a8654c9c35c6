#!/usr/bin/env bash
# Fails when an include points up the layer order: a file of src/<layer> may include headers of
# its own layer and of the layers below it only. tests/, bench/ and tools/ may include headers
# of any layer of src/, of their own folder and of the shared test fixtures, never another
# folder's test files.
#   scripts/check-layers.sh [ROOT]     (default: the repository holding this script)
set -euo pipefail
ROOT=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
cd "$ROOT"

# Each layer and the layers it builds on directly (the DEPS of its library in CMakeLists.txt);
# a layer may include what these build on in turn. Tightening a dependency is removing a word.
declare -A DEPS=(
  [platform]=""
  [data]="platform"
  [screens]="data"
  [support]="screens"
  [search]="screens support"
  [reports]="screens search support"
  [lab]="screens support search reports"
  [collab]="screens support"
  [app]="reports collab lab search support screens"
)

# Every layer below each layer, following DEPS.
declare -A BELOW=()
below_of() {
  local layer=$1 out="" dep
  for dep in ${DEPS[$layer]}; do
    out+=" $dep $(below_of "$dep")"
  done
  echo "$out"
}
for layer in "${!DEPS[@]}"; do
  BELOW[$layer]=" $(below_of "$layer" | tr -s ' ' '\n' | sort -u | tr '\n' ' ') "
done

failures=0
fail() {
  echo "$1" >&2
  failures=$((failures + 1))
}

# The quoted includes of a file, one a line as "LINE NAME".
includes_of() {
  grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$1" |
    sed -E 's/^([0-9]+):.*"([^"]+)".*/\1 \2/' || true
}

# The layer of a path below src/ ("src/data/Query.h" -> data; src/main.cpp belongs to app).
layer_of() {
  local rel=${1#src/}
  case $rel in
    */*) echo "${rel%%/*}" ;;
    *) echo app ;;
  esac
}

# src/: every quoted include must resolve (beside the file, or below src/) to a header of the
# same layer or of one below it.
while IFS= read -r -d '' file; do
  layer=$(layer_of "$file")
  if [ -z "${DEPS[$layer]+set}" ]; then
    fail "$file: folder src/$layer is not a layer of the table in scripts/check-layers.sh"
    continue
  fi
  dir=$(dirname "$file")
  while read -r line name; do
    [ -n "$name" ] || continue
    if [ -f "$dir/$name" ]; then
      target=$(realpath -m --relative-to=. "$dir/$name")
    elif [ -f "src/$name" ]; then
      target="src/$name"
    else
      fail "$file:$line: \"$name\" is no header of src/"
      continue
    fi
    case $target in
      src/*) ;;
      *)
        fail "$file:$line: \"$name\" lies outside src/"
        continue
        ;;
    esac
    to=$(layer_of "$target")
    if [ "$to" != "$layer" ] && [[ ${BELOW[$layer]} != *" $to "* ]]; then
      fail "$file:$line: $layer includes \"$name\" of layer $to, which is not below it"
    fi
  done < <(includes_of "$file")
done < <(find src -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)

# tests/, bench/, tools/: the file's own folder, the folder above it inside its tree (a fuzz
# target beside its checks), the shared fixtures of tests/common, the site tool's headers, src/.
while IFS= read -r -d '' file; do
  dir=$(dirname "$file")
  tree=${file%%/*}
  roots=("$dir")
  [ "$(dirname "$dir")" != . ] && [ "$(dirname "$dir")" != "$tree" ] && roots+=("$(dirname "$dir")")
  [ "$tree" = tests ] && roots+=(tests/common)
  [ "$tree" != bench ] && roots+=(tools)
  roots+=(src)
  while read -r line name; do
    [ -n "$name" ] || continue
    found=""
    for r in "${roots[@]}"; do
      if [ -f "$r/$name" ]; then
        found="$r/$name"
        break
      fi
    done
    if [ -z "$found" ]; then
      fail "$file:$line: \"$name\" is no header of src/, of its own folder or of the shared fixtures"
    elif [[ $name == *.cpp ]]; then
      fail "$file:$line: includes the source file \"$name\""
    fi
  done < <(includes_of "$file")
done < <(find tests bench tools -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)

if [ "$failures" -gt 0 ]; then
  echo "check-layers: $failures include(s) break the layer order" >&2
  exit 1
fi
echo "check-layers: every include points down the layer order"
