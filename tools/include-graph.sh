#!/usr/bin/env bash
# Lists the #include "…" edges between the top folders of the sources
# (from → to, with the number of includes), and the edges from each core
# folder into another at the file level with -v. Usage: tools/include-graph.sh [-v]
set -euo pipefail
cd "$(dirname "$0")/.."
verbose=${1:-}
for dir in engine calendar chart birth cli app; do
    grep -rHoE '^#include "[a-z_]+/[^"]+"' "$dir" --include='*.cpp' --include='*.h' --include='*.in' |
        sed -E 's|^([a-z_]+)/([^:]*):#include "([a-z_]+)/([^"]+)"|\1 \3 \1/\2 \3/\4|'
done | awk -v verbose="$verbose" '$1 != $2 {
        edges[$1 " -> " $2]++
        if (verbose == "-v") files[$3 " -> " $4] = 1
    }
    END {
        for (e in edges) printf "%-22s %d\n", e, edges[e] | "sort"
        close("sort")
        if (verbose == "-v") for (f in files) print "  " f | "sort"
    }'
