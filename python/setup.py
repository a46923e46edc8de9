"""Builds the extension vessane._core from the core's own sources (engine/ and form/ of
this repository) with the project's floating-point flags, so that every number is the
window's."""

import glob
import os
import platform
import re

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension
from setuptools import setup

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def product_version():
    # Written once, in the top-level CMakeLists.txt.
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as cmake:
        return re.search(r"project\(vessane VERSION ([0-9.]+)", cmake.read()).group(1)


def listed(name):
    """The lines of one of the repository's lists under cmake/, comments left out."""
    with open(os.path.join(ROOT, "cmake", name), encoding="utf-8") as f:
        return [line.strip() for line in f if line.strip() and not line.startswith("#")]


def core_sources():
    # The core's one list, then the extension's own; paths relative to this folder, as
    # setuptools wants them.
    found = [os.path.join(ROOT, path) for path in listed("core_sources.txt")]
    found += sorted(glob.glob(os.path.join(HERE, "src", "*.cpp")))
    return [os.path.relpath(path, HERE) for path in found]


def exact_fp_flags():
    """The floating-point flags every build of the core uses (cmake/exact_fp_flags.txt)."""
    flags = []
    x86 = platform.machine().lower() in ("i386", "i486", "i586", "i686", "x86")
    for line in listed("exact_fp_flags.txt"):
        kind, _, values = line.partition(":")
        if kind == "all" or (kind == "x86" and x86):
            flags += values.split()
    return flags


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
    extra_compile_args=["-O3", "-Wall", "-Wextra", "-Werror"] + exact_fp_flags() + sanitize,
    extra_link_args=sanitize,
)

# VESSANE_BUILD_JOBS=N compiles N sources at a time (one by default).
ParallelCompile("VESSANE_BUILD_JOBS", default=1).install()
setup(version=product_version(), ext_modules=[extension])
