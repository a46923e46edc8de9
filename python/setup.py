"""Builds the extension vessane._core from the core's own sources (engine/ and form/ of
this repository) with the project's floating-point flags, so that every number is the
window's."""

import glob
import os
import re

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension
from setuptools import setup

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def product_version():
    # Written once, in the top-level CMakeLists.txt.
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as cmake:
        return re.search(r"project\(vessane VERSION ([0-9.]+)", cmake.read()).group(1)


def core_sources():
    # Paths relative to this folder, as setuptools wants them.
    found = []
    for folder in ("src", "../engine", "../form"):
        found += sorted(glob.glob(os.path.join(HERE, folder, "*.cpp")))
    return [os.path.relpath(path, HERE) for path in found]


# VESSANE_SANITIZE=1 builds under AddressSanitizer and UndefinedBehaviorSanitizer, for
# tests run with the sanitizer runtime preloaded.
sanitize = ["-fsanitize=address,undefined,float-cast-overflow", "-fno-sanitize-recover=all",
            "-fno-omit-frame-pointer"] if os.environ.get("VESSANE_SANITIZE") == "1" else []

extension = Pybind11Extension(
    "vessane._core",
    core_sources(),
    include_dirs=[os.path.join(ROOT, d) for d in ("engine", "form")],
    define_macros=[("VESSANE_VERSION_TEXT", '"%s"' % product_version())],
    cxx_std=20,
    extra_compile_args=["-O3", "-Wall", "-Wextra", "-Werror", "-ffp-contract=off"] + sanitize,
    extra_link_args=sanitize,
)

# VESSANE_BUILD_JOBS=N compiles N sources at a time (one by default).
ParallelCompile("VESSANE_BUILD_JOBS", default=1).install()
setup(version=product_version(), ext_modules=[extension])
