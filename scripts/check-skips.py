#!/usr/bin/env python3
"""Fails when a test runner's report shows a skipped test that the README's list of
tests that may skip ("## Tests that may skip") does not name, or when it ran no test.
  check-skips.py junit REPORT.xml      (ctest --output-junit, pytest --junitxml)
  check-skips.py testthat REPORT.txt   (lines "SKIP name" written by the R step)
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def allowed():
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as f:
        text = f.read()
    section = text.split("\n## Tests that may skip\n", 1)[1].split("\n## ", 1)[0]
    return set(re.findall(r"`([A-Za-z_][A-Za-z0-9_]*)`", section))  # test names only


def named(test, names):
    """Whether the README names this test as a whole: its full name, or its last part
    after the suite's name ("BatchProgress.OnATerminalOnly" for `OnATerminalOnly`), never
    a piece of a longer name."""
    return any(test == name or test.endswith("." + name) for name in names)


def main(kind, path):
    if kind == "junit":
        root = ET.parse(path).getroot()
        cases = root.iter("testcase")
        ran, skipped = 0, []
        for case in cases:
            ran += 1
            if case.find("skipped") is not None or case.get("status") == "notrun":
                skipped.append(case.get("name"))
    else:
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
        ran = sum(1 for line in lines if line.startswith(("PASS ", "SKIP ")))
        skipped = [line[5:] for line in lines if line.startswith("SKIP ")]
    if ran == 0:
        sys.exit(f"{path}: no test ran")
    names = allowed()
    unexplained = [name for name in skipped if not named(name, names)]
    if unexplained:
        sys.exit("skipped, and not in the README's list of tests that may skip: " +
                 ", ".join(unexplained))
    if skipped:
        print(f"skipped as the README allows: {', '.join(skipped)}")


if __name__ == "__main__":
    main(*sys.argv[1:])
