# Most tests give a few columns and let the others take the window's defaults, as
# vessane_risk(defaults = TRUE) does; the notices about them are not what they test.
vessane_risk <- function(...) suppressWarnings(vessane::vessane_risk(..., defaults = TRUE))
