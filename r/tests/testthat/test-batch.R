# The same rows through vessane_risk() and vessane-cli --batch give the same columns,
# bit for bit.

test_that("the batch's own test files give the batch's results", {
  cli <- batch_program()
  folder <- Sys.getenv("VESSANE_BATCH_FILES")
  if (!dir.exists(folder)) skip("VESSANE_BATCH_FILES does not name the batch's test files")
  files <- list.files(folder, full.names = TRUE)
  # Files the batch reads as Windows-1252 (not valid UTF-8) are read by
  # test-spreadsheets.R, with their encoding.
  utf8 <- vapply(files, function(file) {
    bytes <- readBin(file, "raw", file.size(file))
    validUTF8(rawToChar(bytes[bytes != as.raw(0)]))
  }, TRUE)
  files <- files[utf8]
  expect_gt(length(files), 0)
  for (file in files) expect_same_as_batch(run_batch(cli, file), basename(file))
})

test_that("100,000 generated rows give the batch's results", {
  cli <- batch_program()
  set.seed(1991)
  rows <- 100000
  pick <- function(common, rare, share = 0.03) {
    ifelse(runif(rows) < share, sample(rare, rows, TRUE), sample(common, rows, TRUE))
  }
  # Numbers as people type them, and the texts the field's grammar has to deal with.
  number <- function(low, high) {
    places <- sample(0:4, rows, TRUE, prob = c(4, 3, 3, 1, 1))
    sprintf("%.*f", places, runif(rows, low, high))
  }
  odd <- c("", " 50", "+50", "-50", "5e1", "4.5E1", "1e", "1e+", "0000050", "50abc", "abc",
           "50,5", "1e400", "1e-400", ".5e2", "45.", "\t60", "50 ", "0x32", "inf", "nan",
           "74.00001", "2.300001", "1.9999999", "   7e1", "NA")
  unit <- pick(c("g/L", "mmol/L", "G/L", "MMOL/L", "0", "1"), c("mg/dL", "", "2", "g/l "))
  grams <- tolower(unit) %in% c("g/l", "1")
  cohort <- data.frame(
    Sex = pick(c("Homme", "Femme", "homme", "FEMME", "0", "1"), c("", "2", "H", "Hommes", "NA")),
    age = pick(number(28, 76), odd),
    SYSTOLIC = pick(number(75, 255), odd),
    diastolic = pick(number(28, 120), odd),
    total = pick(ifelse(grams, number(0.7, 4.8), number(1.8, 12.5)), odd),
    hdl = pick(ifelse(grams, number(0.1, 2), number(0.2, 5.5)), odd),
    unit = unit,
    years = pick(number(1.5, 10.5), odd),
    smoker = pick(c("0", "1", ""), c("2", "oui", "01", " 1")),
    diabetes = pick(c("0", "1", ""), c("2", "non")),
    lvh = pick(c("0", "1", ""), c("-1", "1.0")),
    check.names = FALSE
  )
  input <- tempfile(fileext = ".csv")
  on.exit(unlink(input))
  utils::write.csv(cohort, input, row.names = FALSE, fileEncoding = "UTF-8")
  out <- run_batch(cli, input)
  expect_identical(out[seq_along(cohort)], cohort)
  expect_identical(expect_same_as_batch(out, "generated rows"), as.integer(rows))
  shown <- out$result != "ERREUR"
  expect_gt(mean(shown), 0.2)
  expect_gt(length(unique(out$result[shown])), 300)
})
