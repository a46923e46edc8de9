# Each column is used as the batch uses the same column of a CSV file; a factor by its
# labels. Returns the list of the eleven columns (NULL when not given) and the row count.
form_columns <- function(data, given) {
  names <- .form_column_names()
  if (!is.null(data)) {
    if (!is.data.frame(data)) {
      stop("'data' must be a data frame, not ", class(data)[1L], call. = FALSE)
    }
    rows <- nrow(data)
    # Column names in any case; the first of a name is read, as in the batch.
    folded <- chartr("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz", names(data))
    found <- match(names, folded)
    from_data <- lapply(found, function(i) if (is.na(i)) NULL else data[[i]])
  } else {
    sizes <- lengths(Filter(Negate(is.null), given))
    rows <- if (length(sizes) == 0L) 1 else max(sizes)
    from_data <- vector("list", length(names))
  }
  columns <- vector("list", length(names))
  for (i in seq_along(names)) {
    x <- if (is.null(given[[names[i]]])) from_data[[i]] else given[[names[i]]]
    if (is.null(x)) next
    columns[i] <- list(form_column(x, names[i], rows))
  }
  list(columns = columns, rows = rows)
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
                         years = NULL, smoker = NULL, diabetes = NULL, lvh = NULL) {
  given <- mget(.form_column_names(), envir = environment())  # the arguments but data
  form <- form_columns(data, given)
  out <- .evaluate_forms(form$columns, form$rows)
  row_names <- if (!is.null(data) && .row_names_info(data) > 0L) {
    attr(data, "row.names")
  } else {
    .set_row_names(as.integer(form$rows))
  }
  structure(out, class = "data.frame", row.names = row_names)
}
