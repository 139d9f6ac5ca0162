#!/usr/bin/env python3
"""Checks the README's tool synopsis against the tools: each command line in
the first code block of the section '## Tools' names a tool that exists and
answers --help with exit code 0 (without a display), and every option and
sub-command word it shows appears in that help text.  Usage:
readme_synopsis.py BUILD_DIR SOURCE_DIR"""
import os
import re
import subprocess
import sys

build, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
readme = open(os.path.join(source, "README.md"), encoding="utf-8").read()
m = re.search(r"^## Tools\n(.*?)(?=^## )", readme, re.M | re.S)
if not m:
    sys.exit("README.md has no section '## Tools'")
lines = [l.strip() for l in m.group(1).splitlines() if l.startswith("    ") and "mirelle-" in l]
if not lines:
    sys.exit("README.md's tool section shows no command")
env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
env.setdefault("QT_QPA_PLATFORM", "offscreen")
failures, helps = [], {}
for line in lines:
    words = line.split()
    tool = os.path.basename(words[0])
    path = os.path.join(build, "apps", tool)
    if not os.path.exists(path):
        if tool in ("mirelle-demo", "mirelle-web"):
            continue  # front ends the tree may not build (no Qt, or not yet)
        failures.append(f"{line}: no such tool {tool}")
        continue
    if tool not in helps:
        r = subprocess.run([path, "--help"], capture_output=True, text=True, env=env, timeout=60)
        if r.returncode != 0:
            failures.append(f"{tool} --help: exit code {r.returncode} {r.stderr.strip()[:200]}")
        helps[tool] = r.stdout + r.stderr
    # Options (--x, -x, /x) and lower-case words (sub-commands, values) of the
    # synopsis; upper-case words are placeholders.
    rest = re.sub(r"#.*", "", " ".join(words[1:]))
    for token in re.findall(r"(?<![\w/-])(--?[A-Za-z][\w-]*|/[a-z]+|[a-z][a-z0-9-]*)", rest):
        if token not in helps[tool]:
            failures.append(f"{line}: {tool} --help does not know '{token}'")
if failures:
    print("README.md, tool synopsis:\n  " + "\n  ".join(failures))
    sys.exit(1)
print(f"README tool synopsis: {len(lines)} command lines checked")
