// Runs the tests in the locale the environment asks for, so that a French locale (where
// the C library reads and writes numbers with a comma) is really exercised.
#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
