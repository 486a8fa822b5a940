#!/usr/bin/env bash
# Times 打开 and 粘贴 in the window (offscreen) on large files: documents at
# the result box's limits, which must come in within a few seconds, and
# documents far beyond them, which must be refused at once. Each line: the
# case, the wall-clock seconds and peak memory of the whole program (start,
# window, the command, full layout and a paint), and what the window did.
# Usage: tools/bench-open.sh. Builds nothing: run ./test.sh or ./run.sh first.
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/tools/bench-open/paipan-bench-open
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import sys
w = sys.argv[1] + "/"
def put(name, data): open(w + name, "wb").write(data)
line = "乾造：庚午 辛巳 壬戌 丁未 大运 壬午 癸未 甲申 乙酉 丙戌".encode()
# Inside the limits.
put("lines-100000.txt", b"\n".join(b"%06d " % i + line for i in range(100000)))
# 199,998 runs and 9,999,900 characters in 100,000 paragraphs.
put("runs-199998.rtf", b"{\\rtf1\\ansi{\\fonttbl{\\f0 SimSun;}}\\f0 "
    + (b"{\\b " + b"x" * 50 + b"}" + b"y" * 49 + b"\\par ") * 99999 + b"}")
put("fonts-1000.rtf", b"{\\rtf1\\ansi{\\fonttbl" + b"".join(b"{\\f%d F%d;}" % (i, i) for i in range(1000))
    + b"}" + b"".join(b"{\\f%d a}" % i for i in range(1000)) + b"}")
put("chars-10000000.txt", b"\n".join([b"x" * 10000] * 1000))
# Far beyond them.
put("newlines-2000000.txt", b"\n" * 2000000)
put("one-line-60MB.txt", b"x" * 60000000)
put("par-1048576.rtf", b"{\\rtf1\\ansi " + b"\\par" * 1048576 + b"}")
put("bold-runs-56MB.rtf", b"{\\rtf1\\ansi " + b"{\\b x}y" * (56 * 1024 * 1024 // 7) + b"}")
put("fonts-100000.rtf", b"{\\rtf1\\ansi{\\fonttbl" + b"".join(b"{\\f%d F%d;}" % (i, i) for i in range(100000))
    + b"}" + b"".join(b"{\\f%d a}" % i for i in range(100000)) + b"}")
PY

run() {  # command file
    local out
    out=$(QT_QPA_PLATFORM=offscreen /usr/bin/time -f "%e %M" -o "$work/time" "$bench" "$1" "$work/$2" 2>/dev/null)
    local verdict
    verdict=$(grep -m1 '^message:' <<<"$out" | cut -c10- | sed "s|$work/||" || true)
    [ -n "$verdict" ] || verdict="taken, $(grep '^paragraphs:' <<<"$out")"
    read -r seconds kb < "$work/time"
    printf '%-6s %-22s %6.2f s %5d MB  %s\n' "$1" "$2" "$seconds" $((kb / 1024)) "$verdict"
}
for file in lines-100000.txt chars-10000000.txt runs-199998.rtf fonts-1000.rtf \
            newlines-2000000.txt one-line-60MB.txt par-1048576.rtf bold-runs-56MB.rtf fonts-100000.rtf; do
    run open "$file"
done
run paste lines-100000.txt
run paste newlines-2000000.txt
