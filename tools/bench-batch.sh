#!/usr/bin/env bash
# paipan-cli --batch against lunar-javascript on the same random births, one
# core each (taskset), side by side. Usage: tools/bench-batch.sh [BIRTHS]
# (default 20000). Builds nothing: run ./test.sh or ./run.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-20000}
cli=build/cli/paipan-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd tools/bench-batch && [ -d node_modules ] || npm ci --silent --no-audit --no-fund)

# Random births over the years the program charts (engine/span.h), minute
# resolution, both sexes, fixed seed.
first=$(grep -o 'kFirstYear = [0-9]*' engine/span.h | grep -o '[0-9]*$')
last=$(grep -o 'kLastYear = [0-9]*' engine/span.h | grep -o '[0-9]*$')
awk -v n="$count" -v first="$first" -v years=$((last - first + 1)) 'BEGIN { srand(20261207); for (i = 0; i < n; i++)
    printf "{\"year\":%d,\"month\":%d,\"day\":%d,\"hour\":%d,\"minute\":%d,\"sex\":\"%s\"}\n",
        first + int(rand() * years), 1 + int(rand() * 12), 1 + int(rand() * 28),
        int(rand() * 24), int(rand() * 60), rand() < 0.5 ? "male" : "female" }' > "$work/births.jsonl"

# The charts are counted as they stream out (a pipe to the other core), not
# written to a file: 20,000 charts are 120 MB, and the disk's speed is not
# the program's.
start=$(date +%s.%N)
answered=$(/usr/bin/time -f "%M" -o "$work/mem" taskset -c 0 "$cli" --batch < "$work/births.jsonl" \
    | taskset -c 1 grep -c '"text"')
end=$(date +%s.%N)
ours=$(awk -v n="$answered" -v a="$start" -v b="$end" 'BEGIN { print n / (b - a) }')
read -r n seconds _ < <(taskset -c 0 node tools/bench-batch/charts.js "$work/births.jsonl")
theirs=$(awk -v n="$n" -v s="$seconds" 'BEGIN { print n / s }')
printf 'births: %d (charts answered: %d)\n' "$count" "$answered"
printf 'paipan-cli --batch : %8.0f full charts/s (peak memory %d KB)\n' "$ours" "$(cat "$work/mem")"
printf 'lunar-javascript   : %8.0f charts/s (pillars, 纳音, luck and annual pillars, 胎元, 命宫)\n' "$theirs"
printf 'ratio              : %8.1f x\n' "$(awk -v a="$ours" -v b="$theirs" 'BEGIN { print a / b }')"
