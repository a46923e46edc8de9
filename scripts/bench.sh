#!/usr/bin/env bash
# Builds the benchmarks in Release (build/bench) and prints the measured figures beside
# their targets. Timings are medians; run it on a quiet machine (see `uptime`).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core qt bench
build=build/bench
rows=${BENCH_ROWS:-1000000}
scripts/build-preset.sh bench >/dev/null
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cli="$build/cli/vessane-cli"
have_window=false
[ -x "$build/bench/vessane_bench_window" ] && have_window=true

echo "load before: $(uptime | sed 's/.*load average/load average/')"

# Median CPU time per iteration of a Google Benchmark, in ns.
median_ns() {  # program filter
  "$1" --benchmark_filter="$2" --benchmark_repetitions=7 --benchmark_report_aggregates_only=true \
       --benchmark_format=csv 2>/dev/null |
    awk -F, -v want="\"$2_median\"" '$1 == want { printf "%.1f\n", $4 }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# hyperfine's median wall time of a command, in ms.
hyper_ms() {
  hyperfine -N --warmup 5 --runs "$1" --export-csv "$work/h.csv" "$2" >/dev/null 2>&1
  awk -F, 'NR == 2 { printf "%.2f\n", $4 * 1000 }' "$work/h.csv"
}
# Median peak resident memory of a command over 5 runs, in KB.
peak_kb() { for _ in 1 2 3 4 5; do /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; done | median; }

compute=$(median_ns "$build/bench/vessane_bench_core" BM_ComputeRisk)
oncalcul=$(median_ns "$build/bench/vessane_bench_core" BM_OnCalcul)

# Batch: a generated file of valid forms; wall and CPU time over 5 runs, on one core
# (--jobs 1) and on two (--jobs 2).
"$build/bench/vessane_gen_rows" "$rows" > "$work/rows.csv"
for jobs in 1 2; do
  for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    /usr/bin/time -f "%U %S %M" -o "$work/time.txt" "$cli" --batch "$work/rows.csv" --jobs "$jobs" >"$work/out$jobs.csv"
    echo "$(( ($(date +%s%N) - start) / 1000 ))e-6 $(cat "$work/time.txt")" >> "$work/batch$jobs.txt"
  done
done
batch_wall=$(awk '{ print $1 }' "$work/batch1.txt" | median)
batch_cpu=$(awk '{ print $2 + $3 }' "$work/batch1.txt" | median)
batch_kb=$(awk '{ print $4 }' "$work/batch1.txt" | median)
batch2_wall=$(awk '{ print $1 }' "$work/batch2.txt" | median)
batch2_kb=$(awk '{ print $4 }' "$work/batch2.txt" | median)
[ "$(wc -l < "$work/out1.csv")" -eq $((rows + 1)) ] || { echo "batch: rows lost" >&2; exit 1; }
cmp -s "$work/out1.csv" "$work/out2.csv" || { echo "batch: --jobs 2 writes other bytes" >&2; exit 1; }
mv "$work/out1.csv" "$work/out.csv"
rm -f "$work/out2.csv"
# Memory whatever the size, the threads and the shape: rows, a cell and a line streamed
# through standard input.
big_rows=${BENCH_BIG_ROWS:-100000000}
peak_of() { { /usr/bin/time -f %M "$@" >/dev/null; } 2>&1 | tail -1; }
jobs16_kb=$(peak_of "$cli" --batch "$work/rows.csv" --jobs 16)
start=$(date +%s%N)
big_kb=$( { "$build/bench/vessane_gen_rows" "$big_rows" | /usr/bin/time -f %M "$cli" --batch - >/dev/null; } 2>&1 | tail -1)
big_rate=$(awk -v n="$big_rows" -v t="$(( ($(date +%s%N) - start) / 1000 ))" 'BEGIN { printf "%.0f", n / t * 1e6 }')
gigabyte() { head -c 1073741824 /dev/zero | tr '\0' x; }
cell_kb=$( { { printf 'note,age\n",'; gigabyte; printf '",50\n'; } | /usr/bin/time -f %M "$cli" --defaults --batch - >/dev/null; } 2>&1 | tail -1)
line_kb=$( { { printf 'age\n'; yes 50, | tr -d '\n' | head -c 1073741824; echo; } | /usr/bin/time -f %M "$cli" --defaults --batch - >/dev/null; } 2>&1 | tail -1)
# Every 5000th row against the single-form path (--details gives both probabilities).
mismatch=0
while IFS=, read -r sex age sys dia total hdl unit years smoker diabetes lvh result bar psys pdia error; do
  flags=()
  [ "$smoker" = 1 ] && flags+=(--smoker)
  [ "$diabetes" = 1 ] && flags+=(--diabetes)
  [ "$lvh" = 1 ] && flags+=(--lvh)
  single=$("$cli" --sex "$sex" --age "$age" --systolic "$sys" --diastolic "$dia" --total "$total" \
           --hdl "$hdl" --unit "$unit" --years "$years" "${flags[@]}" --details | head -3 | tr '\n' ,)
  [ "$single" = "$result,p_sys $psys,p_dia $pdia," ] || { mismatch=1; echo "differs: $single" >&2; }
done < <(awk 'NR > 1 && NR % 5000 == 2' "$work/out.csv")

single=$(hyper_ms 100 "$cli")

if $have_window; then
  keystroke=$(median_ns "$build/bench/vessane_bench_window" BM_KeystrokeInTheWindow)
  start_window=$(hyper_ms 30 "$build/bench/vessane_startup_window")
  start_bare=$(hyper_ms 30 "$build/bench/vessane_startup_bare")
  mem_window=$(peak_kb "$build/bench/vessane_startup_window")
  mem_bare=$(peak_kb "$build/bench/vessane_startup_bare")
fi

echo "load after:  $(uptime | sed 's/.*load average/load average/')"
row() { printf '%-44s %18s %18s  %s\n' "$1" "$2" "$3" "$4"; }
check() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t) ? "ok" : "MISSED" }'; }
echo
row "measure" "median" "target" ""
row "ComputeRisk (CPU time)" "$compute ns" "<= 150 ns" "$(check "$compute" 150)"
row "OnCalcul, in-memory form (CPU time)" "$oncalcul ns" "<= 400 ns" "$(check "$oncalcul" 400)"
if $have_window; then
  row "keystroke in the window, before painting" "$(awk -v v="$keystroke" 'BEGIN { printf "%.1f us", v / 1000 }')" "<= 30 us" "$(check "$keystroke" 30000)"
fi
rate_wall=$(awk -v n="$rows" -v t="$batch_wall" 'BEGIN { printf "%.0f", n / t }')
rate_cpu=$(awk -v n="$rows" -v t="$batch_cpu" 'BEGIN { printf "%.0f", n / t }')
rate2_wall=$(awk -v n="$rows" -v t="$batch2_wall" 'BEGIN { printf "%.0f", n / t }')
speedup=$(awk -v a="$rate2_wall" -v b="$rate_wall" 'BEGIN { printf "%.2f", a / b }')
row "batch, $rows rows, --jobs 1: rows/s (wall)" "$rate_wall" ">= 4000000" "$(check 4000000 "$rate_wall")"
row "batch --jobs 1: rows/s (CPU time, user + sys)" "$rate_cpu" "" ""
row "batch --jobs 2: rows/s (wall)" "$rate2_wall" "" ""
row "batch --jobs 2 / --jobs 1" "$speedup" ">= 1.8" "$(check 1.8 "$speedup")"
row "batch peak memory, --jobs 1 / 2 / 16" "$((batch_kb / 1024)) / $((batch2_kb / 1024)) / $((jobs16_kb / 1024)) MB" "<= 32 MB" "$(check "$(printf '%s\n' "$batch_kb" "$batch2_kb" "$jobs16_kb" | sort -n | tail -1)" 32768)"
row "batch, $big_rows rows from a pipe: peak" "$((big_kb / 1024)) MB" "<= 32 MB" "$(check "$big_kb" 32768)"
row "batch, $big_rows rows from a pipe: rows/s" "$big_rate" "" ""
row "batch, a 1 GB cell / a 1 GB line: peak" "$((cell_kb / 1024)) / $((line_kb / 1024)) MB" "<= 32 MB" "$(check "$(( cell_kb > line_kb ? cell_kb : line_kb ))" 32768)"
row "batch agrees with the single-form path" "$([ $mismatch = 0 ] && echo yes || echo NO)" "yes" "$([ $mismatch = 0 ] && echo ok || echo MISSED)"
if $have_window; then
  row "start-up to first frame: window" "$start_window ms" "" ""
  row "start-up to first frame: bare QDialog" "$start_bare ms" "" ""
  ratio=$(awk -v a="$start_window" -v b="$start_bare" 'BEGIN { printf "%.2f", a / b }')
  row "start-up ratio window / bare" "$ratio" "<= 1.2" "$(check "$ratio" 1.2)"
  row "peak memory at first frame: window" "$((mem_window / 1024)) MB" "" ""
  row "peak memory at first frame: bare QDialog" "$((mem_bare / 1024)) MB" "" ""
  row "peak memory, window - bare" "$(((mem_window - mem_bare) / 1024)) MB" "<= 5 MB" "$(check $((mem_window - mem_bare)) 5120)"
fi
row "vessane-cli, one form, whole process" "$single ms" "<= 3 ms" "$(check "$single" 3)"
