# The files spreadsheets write (tests/data/spreadsheets), read with read.csv as they are
# (separator, decimal mark, encoding) and their cells as texts: vessane_risk() gives, row
# for row and bit for bit, what vessane-cli --batch writes for the same file; a file the
# batch refuses stops with the same message.

test_that("the spreadsheets' files give the batch's results", {
  cli <- batch_program()
  folder <- Sys.getenv("VESSANE_SPREADSHEETS")
  if (!dir.exists(folder)) skip("VESSANE_SPREADSHEETS does not name the spreadsheets' files")
  files <- utils::read.csv(file.path(folder, "files.csv"), sep = ";", colClasses = "character")
  expect_gt(nrow(files), 5)
  separators <- c(semicolon = ";", comma = ",", tab = "\t")
  encodings <- c(cp1252 = "CP1252", "utf-8-sig" = "UTF-8-BOM", "utf-16" = "UTF-16",
                 "utf-8" = "UTF-8")
  read <- function(path, entry) {
    first <- readBin(path, "raw", 4L)
    utils::read.csv(path, sep = separators[[entry$delimiter]],
                    fileEncoding = encodings[[entry$encoding]], colClasses = "character",
                    na.strings = character(0), check.names = FALSE,
                    skip = if (identical(first, charToRaw("sep="))) 1L else 0L)
  }
  for (i in seq_len(nrow(files))) {
    entry <- files[i, ]
    path <- file.path(folder, entry$file)
    output <- tempfile(fileext = ".csv")
    # Quiet: only a refusal prints, and its status 2 makes system2() warn.
    said <- suppressWarnings(system2(cli, c("--batch", shQuote(path), "-o", shQuote(output),
                                            "--quiet"), stdout = TRUE, stderr = TRUE))
    frame <- read(path, entry)
    expect_identical(attr(said, "status"), if (entry$refused == "1") 2L, label = entry$file)
    if (entry$refused == "1") {
      message <- sub("^[^:]*: [^:]* : ", "", said[1])
      expect_error(vessane::vessane_risk(frame), message, fixed = TRUE, label = entry$file)
      next
    }
    batch <- read(output, entry)
    unlink(output)
    got <- suppressWarnings(vessane::vessane_risk(frame))
    added <- utils::tail(seq_along(batch), 5)
    number <- function(text) replace(vessane:::.read_decimal(sub(",", ".", text)), text == "", NA)
    # The batch writes the file's decimal separator; vessane_risk() the window's text.
    expect_identical(got$result, sub(",", ".", batch[[added[1]]], fixed = TRUE),
                     label = entry$file)
    expect_identical(got$bar, as.integer(ifelse(batch[[added[2]]] == "", NA, batch[[added[2]]])),
                     label = entry$file)
    expect_identical(got$p_sys, number(batch[[added[3]]]), label = entry$file)
    expect_identical(got$p_dia, number(batch[[added[4]]]), label = entry$file)
    expect_identical(got$error, batch[[added[5]]], label = entry$file)
  }
})
