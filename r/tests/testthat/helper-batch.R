# Runs vessane-cli --batch: the program named by VESSANE_CLI, built from the same core.
# The comparisons are skipped, saying so, when it is not given (the package's check on a
# machine without the program); the repository's test step always gives it.
batch_program <- function() {
  cli <- Sys.getenv("VESSANE_CLI")
  if (!nzchar(cli) || !file.exists(cli)) {
    skip("VESSANE_CLI does not name a vessane-cli program: no comparison with the batch")
  }
  cli
}

# The batch's output for a CSV file, every cell as text.
run_batch <- function(cli, input) {
  output <- tempfile(fileext = ".csv")
  on.exit(unlink(output))
  system2(cli, c("--batch", shQuote(input), "--defaults", "--decimal", "."), stdout = output,
          stderr = FALSE)
  # The delimiter as the batch wrote it: the character before the last column it adds
  # ("error" or "erreur"), whatever the header's cells hold; a "sep=" line comes first.
  lines <- readLines(output, n = 2L, warn = FALSE, encoding = "UTF-8")
  sep_line <- length(lines) >= 1L && grepl("^sep=[^\"]\r?$", lines[1L])
  header <- sub("\r$", "", lines[if (sep_line) 2L else 1L])
  name <- if (endsWith(header, "erreur")) "erreur" else "error"
  stopifnot(endsWith(header, name))
  sep <- substr(header, nchar(header) - nchar(name), nchar(header) - nchar(name))
  utils::read.csv(output, sep = sep, skip = if (sep_line) 1L else 0L, colClasses = "character",
                  na.strings = character(0), check.names = FALSE, blank.lines.skip = FALSE,
                  strip.white = FALSE, encoding = "UTF-8")
}

# vessane_risk() on the input columns the batch wrote back equals its added columns.
expect_same_as_batch <- function(out, label) {
  added <- utils::tail(seq_along(out), 5)
  # By position: a French header has them as résultat, barre, p_sys, p_dia, erreur.
  expected <- stats::setNames(out[added], c("result", "bar", "p_sys", "p_dia", "error"))
  # Rows with a wrong number of cells are the CSV reader's business, not a form's.
  rows <- !startsWith(expected$error, "nombre de cellules incorrect")
  number <- function(text) replace(vessane:::.read_decimal(text), text == "", NA)
  got <- vessane_risk(out[-added])[rows, ]
  expect_identical(got$result, expected$result[rows], label = label)
  expect_identical(got$bar, as.integer(ifelse(expected$bar == "", NA, expected$bar))[rows],
                   label = label)
  expect_identical(got$p_sys, number(expected$p_sys)[rows], label = label)
  expect_identical(got$p_dia, number(expected$p_dia)[rows], label = label)
  expect_identical(got$error, expected$error[rows], label = label)
  invisible(sum(rows))
}
