#!/usr/bin/env bash
# Counts the assertions of the test suites (EXPECT_*, ASSERT_*, QCOMPARE,
# QVERIFY, QTRY_*) at each revision given (default: the work tree), per
# suite folder and in all.
#   tools/count-assertions.sh [REV...]
set -euo pipefail
cd "$(dirname "$0")/.."
pattern='\b(EXPECT|ASSERT)_[A-Z_]+\(|\bQCOMPARE\(|\bQVERIFY2?\(|\bQTRY_[A-Z_]+\('
count() {  # REV or "" for the work tree
    local rev=$1 folder n line=""
    for folder in core chart birth rtf app; do
        if [ -n "$rev" ]; then
            n=$(git grep -hoE "$pattern" "$rev" -- "tests/$folder" | wc -l)
        else
            n=$(grep -rhoE "$pattern" "tests/$folder" | wc -l)
        fi
        line+=" $folder $n"
    done
    local total
    total=$(awk '{s=0; for (i=2; i<=NF; i+=2) s+=$i; print s}' <<<"$line")
    echo "${rev:-work tree}:$line, all $total"
}
if (($#)); then for rev in "$@"; do count "$rev"; done; else count ""; fi
