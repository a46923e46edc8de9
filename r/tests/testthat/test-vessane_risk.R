# vessane_risk() against the published cases, the batch's rules for each kind of value,
# and its handling of data frames and arguments.

risk <- function(...) vessane_risk(...)[1, ]

invalid <- function(column, value, accepted) {
  sprintf("valeur de %s invalide : \"%s\" (attendu : %s)", column, value, accepted)
}
sexes <- "Femme, Homme, F, H, M, female, male, 0 ou 1"
units <- "mmol/L, g/L, 0 ou 1"
flags <- "1, oui, vrai, x ; 0, non, faux ou vide"
missing_value <- function(column) paste(column, ": valeur manquante")
failure <- c(
  age = "\u00e2ge hors de l'intervalle [30-74] ans",
  systolic = "pression systolique hors de l'intervalle [80-250] mm Hg",
  total = "cholest\u00e9rol total hors de l'intervalle [2-12] mmol/L (0.78 \u00e0 4.65 g/L)",
  hdl = "cholest\u00e9rol HDL hors de l'intervalle [0.3-5] mmol/L (0.12 \u00e0 1.93 g/L)",
  years = "horizon hors de l'intervalle [2-10] ans"
)

test_that("published cases give the window's texts and bars", {
  cases <- list(
    list(args = list(), result = "10.3 %", bar = 10L),
    list(args = list(sex = "Femme"), result = "6.9 %", bar = 6L),
    list(args = list(sex = 1, age = 60, systolic = 160, diastolic = 95, total = 6.708,
                     hdl = 1.032, unit = 0, smoker = 1, diabetes = 1, lvh = 1),
         result = "62.2 %", bar = 62L),
    list(args = list(age = 59, systolic = 152, total = 6, hdl = 1, unit = "mmol/L",
                     smoker = TRUE), result = "29. %", bar = 29L),
    list(args = list(sex = 0, age = 35, systolic = 120, diastolic = 80, total = 5,
                     hdl = 1.6, unit = 0, years = 2), result = "0 %", bar = 0L)
  )
  for (case in cases) {
    row <- do.call(risk, case$args)
    expect_identical(row$result, case$result)
    expect_identical(row$bar, case$bar)
    expect_identical(row$error, "")
  }
  # The batch's probabilities for the defaults, read to the nearest double.
  expect_identical(risk()$p_sys, vessane:::.read_decimal("0.10338928041321527"))
  expect_identical(risk()$p_dia, vessane:::.read_decimal("0.09352022457316844"))
})

test_that("every kind of value is taken or refused as the batch takes it", {
  cases <- list(
    list(args = list(sex = "femme"), result = "6.9 %"),
    list(args = list(sex = "HOMME"), result = "10.3 %"),
    list(args = list(sex = 0L), result = "6.9 %"),
    list(args = list(sex = FALSE), result = "6.9 %"),
    list(args = list(sex = factor("Femme", levels = c("Homme", "Femme"))), result = "6.9 %"),
    list(args = list(sex = "0"), result = "6.9 %"),
    list(args = list(sex = 2), error = invalid("sex", "2", sexes)),
    list(args = list(sex = 0.5), error = invalid("sex", "0.5", sexes)),
    # NA reads as an empty cell of the batch: a sex or unit missing, a flag unchecked; a
    # row of missing values only is empty.
    list(args = list(sex = NA, age = 50), error = missing_value("sex")),
    list(args = list(sex = NA_character_, age = 50), error = missing_value("sex")),
    list(args = list(unit = NA_real_, age = 50), error = missing_value("unit")),
    list(args = list(smoker = NA, sex = 1), result = "10.3 %"),
    list(args = list(smoker = NA), result = ""),
    list(args = list(sex = "", age = 50), error = missing_value("sex")),
    list(args = list(sex = factor("F")), result = "6.9 %"),
    list(args = list(sex = "x"), error = invalid("sex", "x", sexes)),
    list(args = list(unit = "G/L"), result = "10.3 %"),
    list(args = list(unit = 1), result = "10.3 %"),
    list(args = list(unit = 0, total = 5.934, hdl = 1.29), result = "10.3 %"),
    list(args = list(unit = "mg/dL"), error = invalid("unit", "mg/dL", units)),
    list(args = list(unit = -1L), error = invalid("unit", "-1", units)),
    list(args = list(smoker = TRUE), result = "16.2 %"),
    list(args = list(smoker = "1"), result = "16.2 %"),
    list(args = list(smoker = "", sex = 1), result = "10.3 %"),
    list(args = list(smoker = "VRAI"), result = "16.2 %"),
    list(args = list(smoker = 2L), error = invalid("smoker", "2", flags)),
    list(args = list(diabetes = "peut-\u00eatre"), error = invalid("diabetes", "peut-\u00eatre", flags)),
    list(args = list(lvh = NaN, sex = 1), result = "10.3 %"),
    list(args = list(lvh = -Inf), error = invalid("lvh", "-Inf", flags)),
    list(args = list(lvh = 1e300), error = invalid("lvh", "1e+300", flags)),
    # The first value refused is named, in the batch's order of columns.
    list(args = list(lvh = 3, sex = "x"), error = invalid("sex", "x", sexes)),
    # A refused value is quoted up to 40 bytes, never cutting a character.
    list(args = list(unit = strrep("\u00e9", 30)),
         error = invalid("unit", paste0(strrep("\u00e9", 20), "..."), units)),
    # Texts read in full, as numbers are.
    list(args = list(age = "0000050"), result = "10.3 %"),
    list(args = list(age = 0000050), result = "10.3 %"),
    list(args = list(total = "2,30"), result = "10.3 %"),
    list(args = list(total = "2.300001"), result = "10.3 %"),
    list(args = list(age = " 5e1x"), error = "age : \u00ab 5e1x \u00bb n'est pas un nombre"),
    list(args = list(age = " 50 ans "), result = "10.3 %"),
    list(args = list(years = "NA"), error = "years : \u00ab NA \u00bb n'est pas un nombre"),
    # Missing numbers and texts are said missing; non-finite numbers fail the check.
    list(args = list(age = NA, sex = 1), error = missing_value("age")),
    list(args = list(age = NA_integer_, sex = 1), error = missing_value("age")),
    list(args = list(systolic = NaN, sex = 1), error = missing_value("systolic")),
    list(args = list(total = Inf), error = failure[["total"]]),
    list(args = list(hdl = NA_character_, sex = 1), error = missing_value("hdl")),
    list(args = list(hdl = NA_character_, age = "50"), error = missing_value("hdl"))
  )
  for (case in cases) {
    row <- do.call(risk, case$args)
    label <- deparse(case$args)
    if (identical(case$result, "")) {
      expect_identical(row$result, "", label = label)
      expect_identical(row$error, "", label = label)
    } else if (is.null(case$error)) {
      expect_identical(row$result, case$result, label = label)
    } else {
      expect_identical(row$result, "ERREUR", label = label)
      expect_identical(row[c("bar", "p_sys", "p_dia")],
                       data.frame(bar = NA_integer_, p_sys = NA_real_, p_dia = NA_real_),
                       label = label)
      expect_identical(row$error, case$error, label = label)
      expect_identical(Encoding(row$error), if (any(charToRaw(row$error) >= as.raw(0x80))) "UTF-8" else "unknown")
    }
  }
})

test_that("numbers give what their texts give when those have at most six characters", {
  set.seed(12)
  rows <- 20000
  # Decimals with 0 to 3 digits after the point: as a text, and as the nearest double.
  decimal <- function(low, high, places = sample(0:3, rows, TRUE)) {
    scaled <- round(runif(rows, low, high) * 10^places)
    whole <- scaled %/% 10^places
    fraction <- sprintf("%0*d", places, as.integer(scaled %% 10^places))
    text <- ifelse(places == 0, sprintf("%.0f", whole), paste0(whole, ".", fraction))
    keep <- nchar(text) <= 6
    list(text = ifelse(keep, text, "50"), number = ifelse(keep, scaled / 10^places, 50))
  }
  choice <- function() sample(0:1, rows, TRUE)
  fields <- list(age = decimal(25, 80), systolic = decimal(70, 260),
                 diastolic = decimal(25, 170), total = decimal(0.5, 13),
                 hdl = decimal(0.1, 5.5), years = decimal(1, 11))
  choices <- list(sex = choice(), unit = choice(), smoker = choice(),
                  diabetes = choice(), lvh = choice())
  as_texts <- data.frame(lapply(fields, `[[`, "text"), lapply(choices, as.character))
  as_numbers <- data.frame(lapply(fields, `[[`, "number"), choices)
  from_texts <- vessane_risk(as_texts)
  expect_identical(vessane_risk(as_numbers), from_texts)
  expect_gt(mean(from_texts$result != "ERREUR"), 0.1)
  # Mixed: some columns as numbers, the others as texts.
  mixed <- as_texts
  mixed[c("age", "hdl", "sex", "smoker")] <- as_numbers[c("age", "hdl", "sex", "smoker")]
  expect_identical(vessane_risk(mixed), from_texts)
})

test_that("columns come from data in any case, arguments replace them", {
  cohort <- data.frame(AGE = c(29, 50), Age = c(50, 29), Sex = c("Homme", "Femme"),
                       note = c("x", "y"), row.names = c("p1", "p2"))
  expect_identical(vessane_risk(cohort)$result, c("ERREUR", "6.9 %"))
  expect_identical(vessane_risk(cohort, age = 50)$result, c("10.3 %", "6.9 %"))
  expect_identical(vessane_risk(cohort, sex = c(1, 1), age = 50)$result, c("10.3 %", "10.3 %"))
  expect_identical(row.names(vessane_risk(cohort)), c("p1", "p2"))
  expect_identical(nrow(vessane_risk(data.frame(age = numeric(0)), sex = "Femme")), 0L)
  expect_identical(vessane_risk(age = c(50, 29), sex = "Femme")$result, c("6.9 %", "ERREUR"))
  expect_named(vessane_risk(), c("result", "bar", "p_sys", "p_dia", "error"))
  expect_identical(names(formals(vessane::vessane_risk))[-1],
                   c(vessane:::.form_column_names(), "defaults"))
})

test_that("French names, and required columns as the batch requires them", {
  cohort <- data.frame(Sexe = "H", "\u00c2ge" = 59, PAS = 152, PAD = 90,
                       "Cholest\u00e9rol total" = "6,0", "Cholest\u00e9rol HDL" = 1,
                       "Unit\u00e9" = "mmol/L", "Fumeur ?" = "VRAI", check.names = FALSE)
  optional <- "sans colonne : horizon = 10 ans, HVG = non"
  expect_error(vessane::vessane_risk(cohort),
               "colonnes n\u00e9cessaires absentes : diab\u00e8te (diabetes)", fixed = TRUE)
  expect_warning(out <- vessane::vessane_risk(cohort, defaults = "diab\u00e8te"), optional,
                 fixed = TRUE)
  expect_identical(out$result, "29. %")
  cohort[["Diab\u00e8te type 2"]] <- "non "
  misnamed <- cohort
  names(misnamed)[2] <- "Age patient"
  unread <- "colonnes non lues : \u00ab Age patient \u00bb"
  expect_error(vessane::vessane_risk(misnamed),
               paste0("colonnes n\u00e9cessaires absentes : \u00e2ge (age) ; ", unread), fixed = TRUE)
  defaulted <- "sans colonne, valeur par d\u00e9faut : "
  expect_setequal(capture_warnings(vessane::vessane_risk(misnamed, defaults = TRUE)),
                  c(unread, paste0(defaulted, "\u00e2ge = 50, horizon = 10 ans, HVG = non")))
  # Reasons name the column as the data do.
  misnamed[["Fumeur ?"]] <- "peut-\u00eatre"
  expect_setequal(capture_warnings(out <- vessane::vessane_risk(misnamed, age = 59)),
                  c(unread, optional))
  expect_identical(out$error, invalid("Fumeur ?", "peut-\u00eatre", flags))
})

test_that("a wrong type or length stops the call", {
  expect_error(vessane_risk(age = c(50, 60), sex = c(0, 1, 0)),
               "'sex' has 3 values for 3 rows|'age' has 2 values for 3 rows")
  expect_error(vessane_risk(data.frame(age = 1:3), hdl = c(1, 2)), "'hdl' has 2 values for 3 rows")
  expect_error(vessane_risk(age = numeric(0), sex = 1), "'age' has 0 values for 1 rows")
  expect_error(vessane_risk(age = list(50)), "'age' must be a character, numeric or logical")
  expect_error(vessane_risk(years = as.Date("2026-01-01")), "'years' must be .* not Date")
  expect_error(vessane_risk(age = 50 + 0i), "'age' must be")
  expect_error(vessane_risk(list(age = 50)), "'data' must be a data frame, not list")
})

test_that("the text columns, held as codes, behave as ordinary character vectors", {
  out <- vessane_risk(age = c(50, 29, 60, 50), sex = c(0, 1, 2, 0))
  result <- c("6.9 %", "ERREUR", "ERREUR", "6.9 %")
  error <- c("", failure[["age"]], invalid("sex", "2", sexes), "")
  expect_identical(out$result, result)
  expect_identical(out$error, unname(error))
  # Operations that read elements one by one and ones that need the whole vector.
  checks <- list(
    sort = function(x) sort(x), order = function(x) order(x), rev = function(x) rev(x),
    unique = function(x) unique(x), match = function(x) match(x, x[2]), paste = function(x) paste(x),
    subset = function(x) x[c(4, 1)], nchar = function(x) nchar(x),
    replace = function(x) replace(x, 2, "x"), na = function(x) {x[3] <- NA; is.na(x)},
    saved = function(x) {file <- tempfile(); on.exit(unlink(file)); saveRDS(x, file); readRDS(file)}
  )
  for (column in c("result", "error")) {
    plain <- unname(c(result = list(result), error = list(error))[[column]])
    for (check in names(checks)) {
      expect_identical(checks[[check]](out[[column]]), checks[[check]](plain),
                       label = paste(column, check))
    }
  }
  # Replacing an element of a copy leaves the call's own columns as they were.
  copy <- out$error
  copy[1] <- "changed"
  expect_identical(out$error, unname(error))
})

test_that("the cases every front end's tests share give their results", {
  path <- Sys.getenv("VESSANE_SHARED_CASES")
  if (!nzchar(path)) skip("VESSANE_SHARED_CASES does not name the shared test cases")
  cases <- utils::read.csv(path, colClasses = "character", check.names = FALSE)
  expect_identical(vessane_risk(cases)$result, cases$result)
})
