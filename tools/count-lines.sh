#!/usr/bin/env bash
# Counts the non-blank lines of the committed code and prints the share of
# tests: files under tests/ and the generators' test.js count as tests, every
# other C++, JavaScript, shell and CMake file as code. Data, docs and lock
# files are not code.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -co --exclude-standard \
    | grep -E '\.(cpp|h|hpp|js|sh|cmake)$|CMakeLists\.txt$|^\.ci/run$' \
    | grep -v -e 'package-lock' -e 'node_modules/' \
    | while read -r f; do
        [ -f "$f" ] || continue
        n=$(grep -cv '^[[:space:]]*$' "$f" || true)
        case "$f" in tests/*|*/test.js) echo "T $n" ;; *) echo "C $n" ;; esac
    done \
    | awk '{s[$1]+=$2} END {t=s["T"]; c=s["C"];
        printf "tests %d, code %d, all %d, test share %.1f%%\n", t, c, t+c, 100*t/(t+c)}'
