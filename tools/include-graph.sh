#!/usr/bin/env bash
# Lists the #include "…" edges between the top folders of the sources
# (from → to, with the number of includes), marks every edge that runs
# against the layer order (util < engine < calendar < chart < birth < cli, app;
# util < rtf; chart < render; rtf, render < app) with "BACK", and lists the
# file-level edges with -v. Exit status 1 when there is a back edge.
# Usage: tools/include-graph.sh [-v]
set -euo pipefail
cd "$(dirname "$0")/.."
verbose=${1:-}
for dir in util engine calendar chart birth rtf render cli app; do
    [ -d "$dir" ] || continue
    grep -rHoE '^#include "[a-z_]+/[^"]+"' "$dir" --include='*.cpp' --include='*.h' --include='*.in' |
        sed -E 's|^([a-z_]+)/([^:]*):#include "([a-z_]+)/([^"]+)"|\1 \3 \1/\2 \3/\4|'
done | awk -v verbose="$verbose" '
    BEGIN {
        # What each folder may include besides itself.
        split("util engine calendar chart birth", core, " ")
        for (i = 1; i <= 5; i++) for (j = 1; j < i; j++) allowed[core[i] " " core[j]] = 1
        allowed["rtf util"] = 1
        split("util engine calendar chart", below_render, " ")
        for (i in below_render) allowed["render " below_render[i]] = 1
        for (i in core) { allowed["cli " core[i]] = 1; allowed["app " core[i]] = 1 }
        allowed["cli rtf"] = 1; allowed["app rtf"] = 1; allowed["app render"] = 1
        allowed["cli render"] = 1  # the drawing plugin entry point only: loaded, never linked
    }
    $1 != $2 {
        edges[$1 " -> " $2]++
        if (!(($1 " " $2) in allowed)) back[$1 " -> " $2] = 1
        if (verbose == "-v") files[$3 " -> " $4] = 1
    }
    END {
        for (e in edges) printf "%-22s %d%s\n", e, edges[e], (e in back) ? "  BACK" : "" | "sort"
        close("sort")
        if (verbose == "-v") for (f in files) print "  " f | "sort"
        exit length(back) > 0
    }'
