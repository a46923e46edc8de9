#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. A step that is missing
# or not executable fails the command: no test is ever left out silently.
#
# The steps run in two lanes side by side, as a 2-core machine has room for (much of a
# step is spent waiting on Wine, a browser or a single-threaded tool): the second lane in
# the background, its output in build/logs/second-lane.log and its times shown when it
# ends. Two lanes that need the same build folder take turns (scripts/build-preset.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
first_lane=(scripts/test-native.sh
            scripts/test-batch.sh
            scripts/test-accessibility.sh
            scripts/test-sanitizers.sh
            scripts/test-fuzz-short.sh
            scripts/test-python.sh
            scripts/test-r.sh)
second_lane=(scripts/test-win32.sh
             scripts/test-packages.sh
             scripts/test-web.sh)
for step in "${first_lane[@]}" "${second_lane[@]}"; do
  [ -x "$step" ] || { echo "test: $step is missing or not executable" >&2; exit 1; }
done

# Every package any step needs, first: the package manager serves one caller at a time.
scripts/install-deps.sh core qt accessibility reliability python r web node win32 packaging

run_steps() {
  for step; do
    echo "==> $step"
    local begin=$SECONDS
    "$step"
    echo "==> $step: $((SECONDS - begin)) s"
  done
}

mkdir -p build/logs
second_log=build/logs/second-lane.log
# In a process group of its own, so that a failure here can stop all of it.
set -m
run_steps "${second_lane[@]}" >"$second_log" 2>&1 &
second_pid=$!
set +m
trap 'kill -- "-$second_pid" 2>/dev/null || true' EXIT
echo "==> ${second_lane[*]}: in a second lane (log: $second_log)"

run_steps "${first_lane[@]}"

echo "==> waiting for the second lane"
if ! wait "$second_pid"; then
  tail -n 200 "$second_log"
  echo "test: a step of the second lane failed (the whole log: $second_log)" >&2
  exit 1
fi
trap - EXIT
grep '^==> scripts/.*: [0-9]* s$' "$second_log"
echo "==> all tests passed in $(((SECONDS - start) / 60)) min $(((SECONDS - start) % 60)) s"
