#!/usr/bin/python3
"""Plants mechanically chosen one-line faults, one at a time, and reports
which ones the tests let through.

The sites are not chosen by hand: every comparison, boolean operator,
logical not (dropped), boolean constant, `+`/`-` and integer constant in the code lines of the
files named is a candidate, and a seeded random sample of them is planted.
Each fault is built (only the targets given) and the test labels given are
run; a fault whose build fails is left out ("does not build"). The sources
are put back after every fault, also on Ctrl+C or SIGTERM: the file being
changed is first copied to .mutants-journal in the worktree, and a run that
finds a journal (left by a run killed outright) puts that file back before
anything else. At the end the targets are built again from the sources.

Each module's sample comes from its own generator, seeded by the seed and the
module's name, so a module gives the same faults whether it is run alone
(with only the targets and labels its tests need) or with others.

  tools/mutants.py --seed 27 --per-module 12 --build build \\
      --module cli='cli/*.cpp' --module birth='birth/*.cpp' \\
      [--targets paipan-cli,chart_cli_test] [--labels cli,core] [--list]

tools/mutants-all.sh runs every module of tools/mutants-modules.txt this way.

--list prints the sampled faults without running them; --only 3,7 runs only
those numbers of the list (e.g. the ones that went through before). The report lists
each fault with its outcome and, per module, caught / planted.
"""
import argparse
import fnmatch
import json
import os
import random
import re
import signal
import subprocess
import sys
import time

# (kind, pattern, replacement(s)). Patterns need spaces around binary
# operators, so that templates, pointers and streams are not taken for them.
OPERATORS = [
    ("comparison", r" < ", [" <= ", " > "]),
    ("comparison", r" <= ", [" < ", " > "]),
    ("comparison", r" > ", [" >= ", " < "]),
    ("comparison", r" >= ", [" > ", " < "]),
    ("comparison", r" == ", [" != "]),
    ("comparison", r" != ", [" == "]),
    ("boolean", r" && ", [" || "]),
    ("boolean", r" \|\| ", [" && "]),
    ("boolean", r"!(?!=)", [""]),
    ("boolean", r"\btrue\b", ["false"]),
    ("boolean", r"\bfalse\b", ["true"]),
    ("arithmetic", r" \+ ", [" - "]),
    ("arithmetic", r" - ", [" + "]),
]
INTEGER = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")


def code_part(line):
    """The line without its comment and string or character literals, as
    spaces so that columns stay where they are."""
    out, i, quote = [], 0, None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            out.append(" ")
            if c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(" ")
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def sites_of(path):
    """Every (line number, column, old text, new text, kind) of a file."""
    sites = []
    with open(path, encoding="utf-8", newline="") as f:
        lines = f.read().split("\n")
    for n, line in enumerate(lines):
        stripped = line.strip()
        if stripped.startswith(("#", "//", "*", "/*", "static_assert")):
            continue
        code = code_part(line)
        for kind, pattern, replacements in OPERATORS:
            for m in re.finditer(pattern, code):
                for r in replacements:
                    sites.append((n, m.start(), m.group(0), r, kind))
        for m in INTEGER.finditer(code):
            value = int(m.group(1))
            for v in (value + 1, value - 1):
                if v >= 0:
                    sites.append((n, m.start(), m.group(1), str(v), "constant"))
    return lines, sites


def run(cmd, cwd, timeout=1800):
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=timeout).returncode


JOURNAL = ".mutants-journal"


def write(root, path, lines):
    with open(os.path.join(root, path), "w", encoding="utf-8", newline="") as f:
        f.write("\n".join(lines))


def plant(root, path, lines, site):
    """Plants one fault, after keeping the file as it was in the journal."""
    with open(os.path.join(root, JOURNAL), "w", encoding="utf-8") as f:
        json.dump({"path": path, "lines": lines, "pid": os.getpid()}, f)
    n, col, old, new, _ = site
    changed = list(lines)
    changed[n] = lines[n][:col] + new + lines[n][col + len(old):]
    write(root, path, changed)


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        pass
    return True


def restore(root, only_if_dead=False):
    """Puts back the file the journal holds, if any; returns its path. With
    only_if_dead, a journal of a run that is still going is left alone."""
    journal = os.path.join(root, JOURNAL)
    if not os.path.exists(journal):
        return None
    with open(journal, encoding="utf-8") as f:
        kept = json.load(f)
    pid = kept.get("pid", 0)
    if only_if_dead and pid > 0 and pid != os.getpid() and alive(pid):
        sys.exit(f"another run (pid {pid}) is planting faults in this worktree")
    write(root, kept["path"], kept["lines"])
    os.remove(journal)
    return kept["path"]


def on_sigterm(signum, frame):
    raise KeyboardInterrupt


def sample(root, modules, per_module, seed):
    chosen = []
    for name, globs in modules:
        rng = random.Random(f"{seed}:{name}")
        files = sorted(p for p in subprocess.run(["git", "ls-files"], cwd=root, capture_output=True,
                                                 text=True).stdout.split()
                       if any(fnmatch.fnmatch(p, g) for g in globs))
        pool = [(name, path, site) for path in files for site in sites_of(os.path.join(root, path))[1]]
        chosen += rng.sample(pool, min(per_module, len(pool)))
    return chosen


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--seed", type=int, required=True)
    ap.add_argument("--per-module", type=int, default=10)
    ap.add_argument("--module", action="append", required=True, help="NAME=GLOB[,GLOB...]")
    ap.add_argument("--build", default="build")
    ap.add_argument("--targets", default="", help="targets to rebuild (default: all)")
    ap.add_argument("--labels", default="", help="ctest labels to run (default: all tests)")
    ap.add_argument("--list", action="store_true")
    ap.add_argument("--only", default="", help="numbers of the list to run (default: all)")
    args = ap.parse_args()
    root = subprocess.run(["git", "rev-parse", "--show-toplevel"], capture_output=True, text=True).stdout.strip()
    left = restore(root, only_if_dead=True)
    if left:
        print(f"put back {left}, left changed by a run that was killed")
    signal.signal(signal.SIGTERM, on_sigterm)
    only = {int(n) for n in args.only.split(",") if n}
    modules = [(m.split("=", 1)[0], m.split("=", 1)[1].split(",")) for m in args.module]
    faults = sample(root, modules, args.per_module, args.seed)
    build = ["cmake", "--build", args.build, "-j2"]
    for t in filter(None, args.targets.split(",")):
        build += ["--target", t]
    test = ["ctest", "--test-dir", args.build, "-j2", "--stop-on-failure"]
    if args.labels:
        test += ["-L", "|".join(args.labels.split(","))]
    env_note = os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    tally = {}
    try:
        run_faults(args, root, faults, only, build, test, tally)
    finally:
        if restore(root):
            print("put back the last planted fault")
        if not args.list:
            run(build, root)  # leave the build as the sources are
    for module, (caught, planted) in tally.items():
        print(f"{module}: caught {caught} of {planted} that build")
    del env_note


def run_faults(args, root, faults, only, build, test, tally):
    for i, (module, path, site) in enumerate(faults, 1):
        if only and i not in only:
            continue
        lines, _ = sites_of(os.path.join(root, path))
        n, col, old, new, kind = site
        where = f"{path}:{n + 1}:{col + 1}: {kind} {old.strip() or old} -> {new.strip() or '(none)'}"
        if args.list:
            print(f"{i:3} {module:10} {where}")
            continue
        start = time.time()
        try:
            plant(root, path, lines, site)
            if run(build, root) != 0:
                outcome = "does not build"
            else:
                outcome = "caught" if run(test, root) != 0 else "WENT THROUGH"
        finally:
            restore(root)
        t = tally.setdefault(module, [0, 0])
        if outcome != "does not build":
            t[1] += 1
            t[0] += outcome == "caught"
        print(f"{i:3} {module:10} {outcome:14} {where}  ({time.time() - start:.0f} s)", flush=True)


if __name__ == "__main__":
    sys.exit(main())
