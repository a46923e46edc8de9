library(testthat)
library(vessane)

test_check("vessane")
