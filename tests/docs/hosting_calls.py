#!/usr/bin/env python3
"""Checks docs/HOSTING.md's table of host calls by operation against the calls
the simulated unit records: every demo script runs with mirelle-run --trace
(on a copy of the bundled unit, in a store of its own), and each call it
makes (read:, host:, refused:, fail: lines) must be named in its operation's
row.  Usage: hosting_calls.py MIRELLE_RUN SOURCE_DIR"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

run, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
doc = open(os.path.join(source, "docs", "HOSTING.md"), encoding="utf-8").read()
section = doc.split("## Host calls by operation", 1)
if len(section) != 2:
    sys.exit("docs/HOSTING.md has no section 'Host calls by operation'")
documented = {}
for line in section[1].split("\n## ", 1)[0].splitlines():
    cells = line.split("|")
    if len(cells) < 4 or not cells[1].strip().startswith("`"):
        continue
    names = set(re.findall(r"`([A-Za-z_]+)`", cells[2]))
    for op in re.findall(r"`([A-Za-z]+)`", cells[1]):
        documented[op] = names

failures = []
demo = os.path.join(source, "apps", "demo")
with tempfile.TemporaryDirectory() as work:
    env = dict(os.environ, MIRELLE_REGISTRY=os.path.join(work, "registry.db"),
               MIRELLE_LOG=os.path.join(work, "debug.log"))
    for script in sorted(f for f in os.listdir(demo) if f.endswith(".script")):
        text = open(os.path.join(demo, script), encoding="utf-8").read()
        m = re.search(r"^# operation: (\w+)", text, re.M)
        if not m:
            continue
        op = m.group(1)
        unit = os.path.join(work, "unit.json")
        shutil.copy(os.path.join(source, "apps", "units", "default.json"), unit)
        out = subprocess.run([run, "--unit", unit, "--script", os.path.join(demo, script), "--trace", op],
                             cwd=demo, env=env, capture_output=True, text=True).stdout
        calls = set(re.findall(r"^(?:read|host|refused|fail): ([A-Za-z_]+)", out, re.M))
        if not calls and op not in documented:
            continue
        if op not in documented:
            failures.append(f"{op} ({script}): no row in the table; it calls {', '.join(sorted(calls))}")
            continue
        missing = sorted(calls - documented[op])
        if missing:
            failures.append(f"{op} ({script}): calls not in its row: {', '.join(missing)}")
if failures:
    print("docs/HOSTING.md, host calls by operation:\n  " + "\n  ".join(failures))
    sys.exit(1)
print(f"host call table checked for {len(documented)} operations")
