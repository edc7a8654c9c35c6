#!/usr/bin/env bash
# The include check on small trees: includes down the layers and of the shared fixtures pass; an
# include up the layers, one of a layer beside it, and a test reaching into another test folder
# each fail the check and are named.
set -euo pipefail
CHECK=$1
TREE=$(mktemp -d)
trap 'rm -rf "$TREE"' EXIT

mk() { mkdir -p "$(dirname "$TREE/$1")"; printf '%s\n' "${@:2}" >"$TREE/$1"; }
expect_pass() {
  "$CHECK" "$TREE" >/dev/null 2>"$TREE.err" || { echo "FAIL: $1"; cat "$TREE.err"; exit 1; }
}
expect_fail() {
  if "$CHECK" "$TREE" >/dev/null 2>"$TREE.err"; then echo "FAIL: not refused: $1"; exit 1; fi
  grep -q "$2" "$TREE.err" || { echo "FAIL: $1 not named"; cat "$TREE.err"; exit 1; }
}

mk src/platform/Ini.h '#pragma once'
mk src/platform/report/Engine.h '#pragma once' '#include "platform/Ini.h"'
mk src/platform/report/Engine.cpp '#include "Engine.h"' '#include <QString>'
mk src/data/Query.h '#pragma once' '#include "platform/report/Engine.h"'
mk src/screens/Tela.h '#pragma once' '#include "data/Query.h"'
mk src/support/Erro.h '#pragma once' '#include "screens/Tela.h"'
mk src/lab/Analise.cpp '#include "support/Erro.h"' '#include "platform/Ini.h"'
mk src/main.cpp '#include "lab/Analise.h"'
mk src/lab/Analise.h '#pragma once'
mk tests/common/Fixture.h '#pragma once' '#include "lab/Analise.h"'
mk tests/lab/AnaliseTest.cpp '#include "Fixture.h"' '#include "Local.h"'
mk tests/lab/Local.h '#pragma once'
mk bench/Bench.cpp '#include "data/Query.h"'
expect_pass "a tree whose includes point down"

mk src/data/Query.h '#pragma once' '#include "screens/Tela.h"'
expect_fail "data including screens" 'src/data/Query.h:2: data includes "screens/Tela.h" of layer screens'
mk src/data/Query.h '#pragma once'

mk src/collab/Correio.cpp '#include "lab/Analise.h"'
expect_fail "collab including lab, a layer beside it" 'collab includes "lab/Analise.h"'
rm "$TREE/src/collab/Correio.cpp"

mk src/platform/Ini.h '#pragma once' '#include "../data/Query.h"'
expect_fail "a relative include up the layers" 'platform includes "../data/Query.h" of layer data'
mk src/platform/Ini.h '#pragma once'

mk tests/walk/PasseioTest.cpp '#include "lab/Local.h"'
expect_fail "a test reaching into another test folder" 'tests/walk/PasseioTest.cpp:1: "lab/Local.h"'
rm "$TREE/tests/walk/PasseioTest.cpp"

expect_pass "the tree put right again"
echo "check-layers: all cases passed"
