#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a given time.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     (default: 600 s, every target)
# The targets run side by side. Each starts from its committed seeds (fuzz/corpus/<target>)
# and keeps what it finds in build/fuzz/corpus/<target>; a failing input is saved in
# build/fuzz/findings.
# Extra libFuzzer options can be given in FUZZ_OPTIONS (e.g. "-jobs=2 -workers=2").
# FUZZ_RUNS="target=N ...": N inputs for each target named instead of a time, from a fixed
# seed and with what it finds kept apart: the same inputs on every machine, under any load,
# in a fresh clone or a warm one.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(form_fuzzer unit_switch_fuzzer batch_fuzzer)

scripts/install-deps.sh core reliability
build=build/fuzz
scripts/build-preset.sh fuzz "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if command -v llvm-symbolizer-14 >/dev/null; then
  export ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer-14)
fi
mkdir -p "$build/findings"
# Each target's output goes to a log of its own.
pids=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  limit=(-max_total_time="$seconds")
  runs=$(tr ' ' '\n' <<<"${FUZZ_RUNS:-}" | sed -n "s/^$target=//p")
  if [ -n "$runs" ]; then
    corpus="$build/corpus/fixed-runs/$target"
    rm -rf "$corpus"
    limit=(-runs="$runs" -seed=1)
  fi
  mkdir -p "$corpus"
  echo "==> $target for ${runs:-${seconds} s} ${runs:+inputs }(log: $build/$target.log)"
  # shellcheck disable=SC2086
  "$build/fuzz/$target" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
    ${FUZZ_OPTIONS:-} "$corpus" "fuzz/corpus/$target" >"$build/$target.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  if wait "${pids[$i]}"; then
    grep -E '^(Done|stat::number_of_executed_units)' "$build/$target.log" | sed "s/^/$target: /"
  else
    status=1
    cat "$build/$target.log"
    echo "==> $target failed (input saved under $build/findings)" >&2
  fi
done
exit "$status"
