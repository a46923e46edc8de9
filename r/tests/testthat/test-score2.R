# vessane_score2(): the papers' figures, and the batch's very SCORE2 cells on the same rows.

test_that("the SCORE2 paper's own figures", {
  got <- vessane_score2(sex = c("Homme", "Femme", "Homme", "Femme"), age = 50, systolic = 140,
                        total = 5.5, hdl = 1.3, unit = "mmol/L", smoker = TRUE,
                        diabetes = FALSE, region = c("bas", "bas", "tr\u00e8s \u00e9lev\u00e9",
                                                     "very high"))
  expect_identical(got$score2, c("5.9 %", "4.2 %", "14.0 %", "13.7 %"))
  expect_error(vessane_score2(age = 50, sex = 1, total = 5.5, hdl = 1.3, unit = 0, smoker = 1,
                              diabetes = 0, systolic = 140, region = "moyen"),
               "r\u00e9gion invalide", fixed = TRUE)
})

test_that("the batch's SCORE2 cells, row for row", {
  cli <- batch_program()
  rows <- data.frame(
    id = c("a", "b", "c", "d", "e", "f"),
    sex = c("Homme", "Femme", "F", "H", "H", "x"),
    age = c("50", "50", "80", "55", "55", "55"),
    systolic = c("140", "140", "140", "140", "120/80", "140"),
    total = c("5.5", "5.5", "2.2", "5.5", "5.5", "5.5"),
    hdl = c("1.3", "1.3", "0.5", "1.3", "1.3", "1.3"),
    unit = c("mmol/L", "mmol/L", "g/L", "mmol/L", "mmol/L", "mmol/L"),
    smoker = c("oui", "oui", "non", "oui", "oui", "oui"),
    diabetes = c("non", "non", "non", "oui", "non", "non"),
    region = c("", "tr\u00e8s \u00e9lev\u00e9", "mod\u00e9r\u00e9", "", "", "moyen")
  )
  input <- tempfile(fileext = ".csv")
  output <- tempfile(fileext = ".csv")
  on.exit(unlink(c(input, output)))
  utils::write.csv(rows, input, row.names = FALSE, fileEncoding = "UTF-8")
  status <- system2(cli, c("--batch", shQuote(input), "--score2", "--quiet", "-o", shQuote(output)))
  expect_identical(status, 0L)
  batch <- utils::read.csv(output, colClasses = "character", na.strings = character(0),
                           encoding = "UTF-8", check.names = FALSE)
  got <- suppressWarnings(vessane_score2(rows))  # the id column, not read
  expect_identical(got$score2, batch$score2)
  expect_identical(got$p_score2, replace(vessane:::.read_decimal(batch$p_score2),
                                         batch$p_score2 == "", NA))
  expect_identical(got$model, batch$score2_model)
  expect_identical(got$category, enc2utf8(batch$score2_category))
  expect_identical(got$error, enc2utf8(batch$score2_error))
  expect_identical(got$score2[1:2], c("5.9 %", "13.7 %"))
})
