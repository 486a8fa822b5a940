#!/usr/bin/env bash
# Runs tools/mutants.py on every module of tools/mutants-modules.txt, each
# with only its own targets and labels, one report per module in OUTDIR.
#   tools/mutants-all.sh SEED PER-MODULE OUTDIR [ONLY-FILE]
# ONLY-FILE lines "module 3,7,12" run only those faults of the module's list
# (e.g. the ones that went through before); modules it does not name are
# skipped. LIST=1 lists the samples instead. Build dir: $BUILD or build.
set -uo pipefail
cd "$(dirname "$0")/.."
seed=$1 per=$2 out=$3 onlyFile=${4:-}
mkdir -p "$out"
grep -v '^#' tools/mutants-modules.txt | while IFS='|' read -r name globs targets labels; do
    only=""
    if [ -n "$onlyFile" ]; then
        only=$(awk -v m="$name" '$1 == m {print $2}' "$onlyFile")
        [ -z "$only" ] && continue
    fi
    python3 tools/mutants.py --seed "$seed" --per-module "$per" --build "${BUILD:-build}" \
        --module "$name=$globs" --targets "$targets" --labels "$labels" \
        ${only:+--only "$only"} ${LIST:+--list} > "$out/$name.txt" 2>&1
done
