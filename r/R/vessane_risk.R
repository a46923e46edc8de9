# Each column is used as the batch uses the same column of a CSV file; a factor by its
# labels. Data's names are read as the batch reads a header (English or French names);
# a required input neither in data nor given is an error unless defaults names it. Returns the
# list of the eleven columns (NULL when not given), the row count and the data's names
# of the columns read (NA for the others), for reasons.
form_columns <- function(data, given, defaults, score2 = FALSE) {
  names <- .form_column_names()
  supplied <- !vapply(given[names], is.null, logical(1))
  from_data <- vector("list", length(names))
  data_names <- rep(NA_character_, length(names))
  fields <- field_set(defaults, length(names))
  if (!is.null(data)) {
    if (!is.data.frame(data)) {
      stop("'data' must be a data frame, not ", class(data)[1L], call. = FALSE)
    }
    rows <- nrow(data)
    read <- .read_columns(enc2utf8(names(data)), supplied, fields, score2)
  } else {
    sizes <- lengths(Filter(Negate(is.null), given))
    rows <- if (length(sizes) == 0L) 1 else max(sizes)
    read <- .read_columns(character(0), supplied, fields, score2)
  }
  if (nzchar(read$refusal)) {
    stop(read$refusal, " (defaults = prend la valeur par d\u00e9faut des champs nomm\u00e9s)",
         call. = FALSE)
  }
  for (notice in read$notices) warning(notice, call. = FALSE)
  others <- NULL
  regions <- NULL
  if (!is.null(data)) {
    region_column <- length(names)  # the SCORE2 region's, after the form's (0-based)
    for (i in which(read$columns == region_column)) regions <- as.character(data[[i]])
    for (i in which(read$columns >= 0L & read$columns < region_column)) {
      from_data[read$columns[i] + 1L] <- list(data[[i]])
      data_names[read$columns[i] + 1L] <- names(data)[i]
    }
    # Per row, whether a column the form does not read holds something.
    for (i in which(read$columns < 0L)) {
      x <- data[[i]]
      held <- !is.na(x) & !(is.character(x) & x %in% "")
      others <- if (is.null(others)) held else others | held
    }
  }
  columns <- vector("list", length(names))
  for (i in seq_along(names)) {
    x <- if (is.null(given[[names[i]]])) from_data[[i]] else given[[names[i]]]
    if (!is.null(given[[names[i]]])) data_names[i] <- NA_character_  # named as the argument
    if (is.null(x)) next
    columns[i] <- list(form_column(x, names[i], rows))
  }
  list(columns = columns, rows = rows, names = data_names, cholesterol = read$cholesterol,
       others = if (length(others) == rows) as.logical(others), regions = regions)
}

# The fields defaults stands for: FALSE none, TRUE all, or those a vector names.
field_set <- function(defaults, count) {
  if (isTRUE(defaults)) return(rep(TRUE, count))
  if (isFALSE(defaults) || is.null(defaults) || length(defaults) == 0L) return(rep(FALSE, count))
  .field_list(enc2utf8(paste(as.character(defaults), collapse = ",")))
}

form_column <- function(x, name, rows) {
  if (is.factor(x)) {
    x <- as.character(x)
  } else if (is.object(x) || !(is.character(x) || is.numeric(x) || is.logical(x))) {
    stop(sprintf("'%s' must be a character, numeric or logical vector or a factor, not %s",
                 name, paste(class(x), collapse = "/")), call. = FALSE)
  }
  if (length(x) != rows && length(x) != 1L) {
    stop(sprintf("'%s' has %.0f values for %.0f rows (only a single value is recycled)",
                 name, length(x), rows), call. = FALSE)
  }
  x
}

# Documented in man/vessane_risk.Rd.
vessane_risk <- function(data = NULL, sex = NULL, age = NULL, systolic = NULL,
                         diastolic = NULL, total = NULL, hdl = NULL, unit = NULL,
                         years = NULL, smoker = NULL, diabetes = NULL, lvh = NULL,
                         defaults = FALSE) {
  given <- mget(.form_column_names(), envir = environment())  # the arguments but data
  form <- form_columns(data, given, defaults)
  out <- .evaluate_forms(form$columns, form$rows, enc2utf8(form$names), form$cholesterol,
                         form$others)
  row_names <- if (!is.null(data) && .row_names_info(data) > 0L) {
    attr(data, "row.names")
  } else {
    .set_row_names(as.integer(form$rows))
  }
  structure(out, class = "data.frame", row.names = row_names)
}

# Documented in man/vessane_score2.Rd.
vessane_score2 <- function(data = NULL, sex = NULL, age = NULL, systolic = NULL,
                           diastolic = NULL, total = NULL, hdl = NULL, unit = NULL,
                           smoker = NULL, diabetes = NULL, region = "bas", defaults = FALSE) {
  given <- mget(setdiff(.form_column_names(), c("years", "lvh")), envir = environment())
  given <- c(given, list(years = NULL, lvh = NULL))
  form <- form_columns(data, given, defaults, score2 = TRUE)
  regions <- form$regions
  if (length(region) != 1L) {
    regions <- as.character(region)
    region <- "bas"
  }
  out <- .evaluate_score2(form$columns, form$rows, enc2utf8(form$names), form$cholesterol,
                          form$others, enc2utf8(as.character(region)),
                          if (is.null(regions)) NULL else enc2utf8(regions))
  row_names <- if (!is.null(data) && .row_names_info(data) > 0L) {
    attr(data, "row.names")
  } else {
    .set_row_names(as.integer(form$rows))
  }
  structure(out, class = "data.frame", row.names = row_names)
}
