# Throughput of vessane_risk() over numeric columns: rows per second of elapsed time and
# of CPU time (user + system, the figure to read on a busy machine), medians of the runs.
# Run: Rscript bench/r_bench.R [rows] [runs]   (with the package installed, or R_LIBS set)
library(vessane)
args <- commandArgs(trailingOnly = TRUE)
rows <- if (length(args) >= 1L) as.numeric(args[1]) else 1e6
runs <- if (length(args) >= 2L) as.integer(args[2]) else 9L
set.seed(1991)
# A cohort's values: whole-number ages and pressures, cholesterol in hundredths of g/L,
# nearly all of them accepted.
cohort <- data.frame(
  sex = sample(0:1, rows, TRUE),
  age = sample(30:74, rows, TRUE),
  systolic = sample(100:200, rows, TRUE),
  diastolic = sample(60:89, rows, TRUE),
  total = sample(150:300, rows, TRUE) / 100,
  hdl = sample(30:90, rows, TRUE) / 100,
  years = 10,
  smoker = sample(c(FALSE, TRUE), rows, TRUE),
  diabetes = sample(c(FALSE, TRUE), rows, TRUE),
  lvh = sample(c(FALSE, TRUE), rows, TRUE)
)
times <- vapply(seq_len(runs), function(i) {
  t <- system.time(vessane_risk(cohort))
  c(elapsed = t[["elapsed"]], cpu = t[["user.self"]] + t[["sys.self"]])
}, c(elapsed = 0, cpu = 0))
speed <- function(seconds) sprintf("%.2f M rows/s", rows / seconds / 1e6)
cat(sprintf("vessane_risk(), %s rows of numeric columns, median of %d runs: %s (%.3f s), %s on CPU time\n",
            format(rows, big.mark = ",", scientific = FALSE), runs,
            speed(median(times["elapsed", ])), median(times["elapsed", ]),
            speed(median(times["cpu", ]))))
