#!/usr/bin/python3
"""Lists the C++ functions longer than a limit (default 40 lines).

    tools/function-lengths.py [LIMIT]

Functions are found by Universal Ctags (start and end line). Lines of a
data table inside a function do not count: a braced array of cases
(`cases[] = {` … `};`, also `kRows`, `rules`, …) or a braced list of cases
handed to a checking function (`ExpectRuns({` … `});`). The engine's symbol tables
(engine/tables.cpp) are data as a whole. Exits 1 when any function is over.
"""
import re
import subprocess
import sys

FOLDERS = ["engine", "calendar", "chart", "birth", "cli", "app", "tools", "tests"]
DATA_FILES = {"engine/tables.cpp"}
TABLE_START = re.compile(r"\b\w+\[\w*\]\s*(=\s*)?\{\s*(\{.*)?(//.*)?$"  # cases[] = {
                         r"|\bstd::array<.*>\s+\w+\{\{"                   # std::array<…> rules{{
                         r"|\w+\(\{\s*(//.*)?$")                            # Check({ … })


def functions():
    out = subprocess.run(
        ["ctags", "-R", "--languages=C++", "--kinds-C++=f", "--fields=+ne", "--extras=-F", "-o", "-"]
        + FOLDERS, capture_output=True, text=True, check=True).stdout
    for line in out.splitlines():
        parts = line.split("\t")
        fields = dict(p.split(":", 1) for p in parts[3:] if ":" in p)
        if "line" in fields and "end" in fields:
            yield parts[1], parts[0], int(fields["line"]), int(fields["end"])


def counted_lines(lines):
    """Lines of a function body that are not inside a data table."""
    count, depth = 0, 0
    for text in lines:
        start = TABLE_START.search(text) if depth == 0 else None
        if start:
            rest = text[start.start():]
            depth = rest.count("{") - rest.count("}")
            continue
        if depth > 0:
            depth += text.count("{") - text.count("}")
            continue
        count += 1
    return count


def main():
    limit = int(sys.argv[1]) if len(sys.argv) > 1 else 40
    cache, over = {}, []
    for path, name, start, end in functions():
        if path in DATA_FILES:
            continue
        lines = cache.setdefault(path, open(path, encoding="utf-8").read().splitlines())
        n = counted_lines(lines[start - 1:end])
        if n > limit:
            over.append((n, f"{path}:{start}", name))
    for n, where, name in sorted(over, reverse=True):
        print(f"{n:4d}  {where}  {name}")
    print(f"functions over {limit} lines (data tables not counted): {len(over)}")
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
