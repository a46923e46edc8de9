# Throughput of vessane_risk() over numeric vectors: rows per second, median of runs.
# Run: Rscript bench/r_bench.R [rows] [runs]   (the package installed, or R_LIBS set)
library(vessane)
args <- commandArgs(trailingOnly = TRUE)
rows <- if (length(args) >= 1L) as.numeric(args[1]) else 1e6
runs <- if (length(args) >= 2L) as.integer(args[2]) else 9L
set.seed(1991)
# Whole-number pressures and ages, cholesterol in hundredths of g/L: a cohort's values,
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
seconds <- vapply(seq_len(runs), function(i) {
  system.time(vessane_risk(cohort))[["elapsed"]]
}, 0)
cat(sprintf("vessane_risk(), %s rows of numeric columns: median %.3f s, %.2f M rows/s (best %.2f M rows/s, %d runs)\n",
            format(rows, big.mark = ",", scientific = FALSE), median(seconds),
            rows / median(seconds) / 1e6, rows / min(seconds) / 1e6, runs))
