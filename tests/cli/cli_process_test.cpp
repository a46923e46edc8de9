// The command line's contract as a user meets it: output, standard error, exit status.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <algorithm>
#include <fstream>
#include <string>

#include "cli_test_support.h"

namespace {

using vessane::cli::testing::Run;
using Process = Run;

Process RunCommand(const std::string& command) {
    return vessane::cli::testing::RunShell(command);
}

TEST(CommandLine, SingleForm) {
    struct Case {
        const char* arguments;
        const char* out;
        int status;
        const char* errContains;
    };
    const Case cases[] = {
        {"", "10.3 %\n", 0, ""},
        {"--sex Femme", "6.9 %\n", 0, ""},
        {"--sex FEMME", "6.9 %\n", 0, ""},
        {"--sex=0", "6.9 %\n", 0, ""},
        {"--smoker", "16.2 %\n", 0, ""},
        {"--diabetes", "13.9 %\n", 0, ""},
        {"--lvh", "27.1 %\n", 0, ""},
        {"--unit mmol/L --total 5.934 --hdl 1.29", "10.3 %\n", 0, ""},
        {"--unit 0 --total 6.0 --hdl 1.0 --age 59 --systolic 152 --smoker", "29. %\n", 0, ""},
        {"--unit mmol/l --total 12 --hdl 0.3 --age 74 --systolic 250 --diastolic 160 "
         "--smoker --diabetes --lvh",
         "90.7 %\n", 0, ""},
        {"--sex 0 --age 35 --systolic 120 --diastolic 80 --unit 0 --total 5.0 --hdl 1.6 "
         "--years 2",
         "0 %\n", 0, ""},
        {"--age 29", "ERREUR\n", 1, "âge"},
        {"--years ''", "ERREUR\n", 1, "horizon"},
        {"--total 4.66", "ERREUR\n", 1, "cholestérol total"},
        {"--diastolic 141", "ERREUR\n", 1, "diastolique + 9.9"},
        {"--age 0000050", "ERREUR\n", 1, "âge"},
        {"--total 2.300001", "10.3 %\n", 0, ""},
        {"--sex x", "", 2, "Usage"},
        {"--unit mg/dL", "", 2, "Usage"},
        {"--bogus", "", 2, "option inconnue"},
        {"--age", "", 2, "il manque"},
        {"--version", "vessane-cli 1.3\n", 0, ""},
    };
    for (const Case& c : cases) {
        const Process p = RunCommand(std::string("CLI ") + c.arguments);
        EXPECT_EQ(p.out, c.out) << c.arguments;
        EXPECT_EQ(p.status, c.status) << c.arguments;
        EXPECT_NE(p.err.find(c.errContains), std::string::npos) << c.arguments << ": " << p.err;
        if (c.status == 1) {
            EXPECT_EQ(std::count(p.err.begin(), p.err.end(), '\n'), 1) << p.err;
        }
    }
}

TEST(CommandLine, Details) {
    const Process p = RunCommand("CLI --details");
    EXPECT_EQ(p.out,
              "10.3 %\np_sys 0.10338928041321527\np_dia 0.09352022457316844\n"
              "equation systolique\ndigits_sys 3\ndigits_dia 2\n");
    EXPECT_NE(RunCommand("CLI --help").out.find("--batch"), std::string::npos);
}

TEST(CommandLine, BatchFiles) {
    const std::string dir = ::testing::TempDir();
    // A name of this process's own: another test run may be using the same folder.
    const std::string rows = dir + "vessane_rows_" + std::to_string(getpid()) + ".csv";
    { std::ofstream(rows) << "age\n50\n29\n"; }
    const Process ok = RunCommand("CLI --batch '" + rows + "'");
    std::remove(rows.c_str());
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(std::count(ok.out.begin(), ok.out.end(), '\n'), 3);

    const Process fromStdin = RunCommand("printf 'age\\n50\\n' | CLI --batch -");
    EXPECT_EQ(fromStdin.status, 0);
    EXPECT_NE(fromStdin.out.find("10.3 %"), std::string::npos);

    const Process missing = RunCommand("CLI --batch '" + dir + "no-such-file.csv'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("impossible d'ouvrir"), std::string::npos);

    const Process directory = RunCommand("CLI --batch '" + dir + "'");
    EXPECT_EQ(directory.status, 2) << directory.err;
    EXPECT_FALSE(directory.err.empty());
}

TEST(CommandLine, ClosedPipeEndsQuietly) {
    const Process p = RunCommand("(echo age; yes 50 | head -n 300000) | CLI --batch - | head -n 1");
    EXPECT_EQ(p.out, "age,result,bar,p_sys,p_dia,error\n");
    EXPECT_EQ(p.err, "");
}

}  // namespace
#endif
