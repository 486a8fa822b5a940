#!/usr/bin/env bash
# 八字反查 against lunar-javascript's Solar.fromBaZi on the same random
# searches, one core each (taskset), in one run. lunar-javascript searches
# from a base year to the current year, so both search FROM to this year.
# Usage: tools/bench-pillars.sh [FROM_YEAR] (default 1800). Builds nothing:
# build the target paipan-bench-pillars first.
set -euo pipefail
cd "$(dirname "$0")/.."
from=${1:-1800}
to=$(date +%Y)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd tools/bench-batch && [ -d node_modules ] || npm ci --silent --no-audit --no-fund)
taskset -c 0 build/tools/bench-pillars/paipan-bench-pillars "$from" "$to" "$work/searches.txt"
taskset -c 0 node tools/bench-batch/from-bazi.js "$work/searches.txt" "$from"
