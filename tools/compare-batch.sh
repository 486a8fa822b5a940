#!/usr/bin/env bash
# Runs two builds of paipan-cli --batch on the same random request lines and
# reports whether their answers (and exit status) are byte-identical; with a
# difference, the first differing line of each. The lines mix every key a
# batch line takes: births 1800–2100, lunar dates with and without a leap
# mark, 时辰不详, places in China and abroad with their clocks, switches,
# layouts, longitudes, and some lines that must be refused.
# Usage: tools/compare-batch.sh OLD_CLI NEW_CLI [COUNT] [SEED]
set -euo pipefail
old=$1 new=$2 count=${3:-20000} seed=${4:-20261207}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v n="$count" -v seed="$seed" 'BEGIN { srand(seed)
    split("annual stars deities hidden-stems nayin minor-luck palace stages night-zi", sw, " ")
    split("安徽 北京 乌鲁木齐 东京 温哥华 纽约 加德满都 台北 香港 科隆 太平 上海市 不存在的地方", pl, " ")
    split("Asia/Tokyo America/New_York Europe/London Asia/Kolkata Asia/Shanghai Nowhere/City", zn, " ")
    for (i = 0; i < n; i++) {
        r = rand()
        line = sprintf("{\"year\":%d,\"month\":%d,\"day\":%d,\"sex\":\"%s\",\"layout\":\"%s\"",
            1800 + int(rand() * 301), 1 + int(rand() * 12), 1 + int(rand() * 30),
            rand() < 0.5 ? "male" : "female", rand() < 0.5 ? "horizontal" : "vertical")
        # 时辰不详 takes no hour or minute.
        if (r < 0.15 || r >= 0.25) line = line sprintf(",\"hour\":%d,\"minute\":%d", int(rand() * 24), int(rand() * 60))
        for (k in sw) if (rand() < 0.3) line = line sprintf(",\"%s\":%s", sw[k], rand() < 0.5 ? "true" : "false")
        if (r < 0.15) line = line sprintf(",\"calendar\":\"lunar\"%s", rand() < 0.2 ? ",\"leap-month\":true" : "")
        else if (r < 0.25) line = line ",\"unknown-hour\":true"
        if (rand() < 0.3) line = line sprintf(",\"place\":\"%s\"", pl[1 + int(rand() * 13)])
        if (rand() < 0.1) line = line sprintf(",\"zone\":\"%s\"", zn[1 + int(rand() * 6)])
        if (rand() < 0.2) line = line sprintf(",\"longitude\":%d,\"longitude-minutes\":%d",
            int(rand() * 361) - 180, int(rand() * 60))
        if (rand() < 0.01) line = line ",\"hour\":24"
        if (rand() < 0.005) line = "{\"year\":"
        print line "}"
    } }' > "$work/requests.jsonl"

for side in old new; do
    cli=${!side}
    status=0
    "$cli" --batch < "$work/requests.jsonl" > "$work/$side.out" 2> "$work/$side.err" || status=$?
    echo "exit $status" >> "$work/$side.err"
done
if cmp -s "$work/old.out" "$work/new.out" && cmp -s "$work/old.err" "$work/new.err"; then
    echo "batch lines: $count, answers: $(wc -l < "$work/new.out") ($(grep -c '"error"' "$work/new.out") refused," \
        "$(grep -c '"splits"' "$work/new.out") 时辰不详, $(grep -c '提示' "$work/new.out") with notices), byte-identical"
else
    echo "batch lines: $count: answers differ"
    diff <(cat "$work/old.out" "$work/old.err") <(cat "$work/new.out" "$work/new.err") | head -4
    exit 1
fi
