#!/usr/bin/env python3
"""The README's command-line examples print what the README shows: each line
"$ vessane-cli ARGS" of the command line's section is run (standard error after standard
output), and its output compared with the lines shown under it. Examples that name files
are left out.   check_readme_examples.py VESSANE_CLI README.md"""
import re
import shlex
import subprocess
import sys

cli, readme = sys.argv[1:]
with open(readme, encoding="utf-8") as f:
    section = f.read().split("\n## The command line\n", 1)[1].split("\n## ", 1)[0]
block = re.search(r"```sh\n(.*?)```", section, re.S).group(1).splitlines()
checked = 0
for i, line in enumerate(block):
    if not line.startswith("$ vessane-cli"):
        continue
    args = shlex.split(line[len("$ vessane-cli"):])
    if any(arg.endswith(".csv") for arg in args):
        continue
    shown = []
    for next_line in block[i + 1:]:
        if next_line.startswith("$ "):
            break
        shown.append(next_line)
    run = subprocess.run([cli] + args, capture_output=True, text=True)
    printed = (run.stdout + run.stderr).splitlines()
    if printed != shown:
        sys.exit(f"README: {line!r} prints {printed!r}, the README shows {shown!r}")
    checked += 1
if checked == 0:
    sys.exit("README: no command-line example found")
print(f"{checked} README examples print what the README shows")
