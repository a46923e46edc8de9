#!/usr/bin/env bash
# Builds the R package's source tarball from r/ and the core: the package's src/ gets a
# copy of engine/ and form/ (the repository holds none), so that the tarball stands on
# its own. Prints the tarball's path.
# Usage: scripts/build-r-package.sh [folder]   (default build/r)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mkdir -p "${1:-build/r}" && cd "${1:-build/r}" && pwd)
stage="$out/stage/vessane"
rm -rf "$out/stage" && mkdir -p "$out/stage"
cp -r r "$stage"
# The core's headers, and its sources as its one list names them.
cp engine/*.h form/*.h "$stage/src/"
grep -v '^#' cmake/core_sources.txt | xargs -I{} cp {} "$stage/src/"
# The floating-point flags every build of the core uses, for configure.
mkdir -p "$stage/tools" && cp cmake/exact_fp_flags.txt "$stage/tools/"
# The version is the program's.
version=$(sed -n 's/^project(vessane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
sed -i "s/^Version: .*/Version: $version/" "$stage/DESCRIPTION"
Rscript -e 'Rcpp::compileAttributes(commandArgs(TRUE)[1])' "$stage" >/dev/null
(cd "$out" && R CMD build --no-manual "stage/vessane" >&2)
echo "$out/vessane_$version.tar.gz"
