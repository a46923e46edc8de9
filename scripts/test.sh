#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. A step that is missing
# or not executable fails the command: no test is ever left out silently.
#
# The steps run in two lanes side by side, as a 2-core machine has room for: the Windows
# steps (cross builds, then Wine, which mostly waits) in the background, their output in
# build/logs/windows.log and shown when they end, and every other step here.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
main_lane=(scripts/test-native.sh
           scripts/test-batch.sh
           scripts/test-accessibility.sh
           scripts/test-sanitizers.sh
           scripts/test-fuzz-short.sh
           scripts/test-python.sh
           scripts/test-r.sh
           scripts/test-web.sh)
windows_lane=(scripts/test-win32.sh
              scripts/test-packages.sh)
for step in "${main_lane[@]}" "${windows_lane[@]}"; do
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
windows_log=build/logs/windows.log
# In a process group of its own, so that a failure here can stop all of it.
set -m
run_steps "${windows_lane[@]}" >"$windows_log" 2>&1 &
windows_lane_pid=$!
set +m
trap 'kill -- "-$windows_lane_pid" 2>/dev/null || true' EXIT
echo "==> ${windows_lane[*]}: in the background (log: $windows_log)"

run_steps "${main_lane[@]}"

echo "==> waiting for ${windows_lane[*]}"
if ! wait "$windows_lane_pid"; then
  tail -n 200 "$windows_log"
  echo "test: the Windows steps failed (the whole log: $windows_log)" >&2
  exit 1
fi
trap - EXIT
grep '^==> scripts/.*: [0-9]* s$' "$windows_log"
echo "==> all tests passed in $(((SECONDS - start) / 60)) min $(((SECONDS - start) % 60)) s"
