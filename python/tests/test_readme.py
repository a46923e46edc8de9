"""The README's Python examples run as written and print what it shows."""

import contextlib
import io
import os
import re

README = os.path.join(os.path.dirname(__file__), "..", "..", "README.md")


def examples():
    """(code, shown output or None) for each python block of the README's Python section."""
    with open(README, encoding="utf-8") as f:
        text = f.read()
    section = text.split("\n## Python\n", 1)[1].split("\n## ", 1)[0]
    blocks = re.findall(r"```(\w+)\n(.*?)```", section, re.S)
    for i, (language, code) in enumerate(blocks):
        if language == "python":
            shown = blocks[i + 1] if i + 1 < len(blocks) and blocks[i + 1][0] == "text" else None
            yield code, shown[1] if shown else None


def test_python_examples():
    namespace = {"__name__": "__main__"}  # as a saved script runs
    ran = 0
    for code, shown in examples():
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            exec(compile(code, README, "exec"), namespace)
        if shown is not None:  # trailing blanks aside, which editors may strip
            assert [line.rstrip() for line in out.getvalue().splitlines()] == \
                [line.rstrip() for line in shown.splitlines()]
        ran += 1
    assert ran == 2
