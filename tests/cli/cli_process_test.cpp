// The command line's contract as a user meets it: output, standard error, exit status.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <algorithm>
#include <fstream>
#include <string>

#include "cli_test_support.h"
#include "shared_cases.h"

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
        {"--total 2,30", "10.3 %\n", 0, ""},
        {"--sex x", "", 2, "--sex : valeur invalide"},
        {"--unit mg/dL", "", 2, "--unit"},
        {"--quiet", "", 2, "qu'avec --batch"},
        {"--batch /nonexistent/rows.csv", "", 2, "introuvable"},
        {"--batch /tmp", "", 2, "c'est un dossier"},
        {"--bogus", "", 2, "option inconnue"},
        {"--age", "", 2, "il manque"},
        {"--version", "vessane-cli 1.3\n", 0, ""},
    };
    for (const Case& c : cases) {
        const Process p = RunCommand(std::string("CLI ") + c.arguments);
        EXPECT_EQ(p.out, c.out) << c.arguments;
        EXPECT_EQ(p.status, c.status) << c.arguments;
        EXPECT_NE(p.err.find(c.errContains), std::string::npos) << c.arguments << ": " << p.err;
        // A refusal is one French line; a usage error adds where to read more, not the help.
        if (c.status != 0) {
            const bool usage = p.err.find("vessane-cli --help") != std::string::npos;
            EXPECT_EQ(std::count(p.err.begin(), p.err.end(), '\n'), usage ? 2 : 1) << p.err;
            EXPECT_EQ(p.err.find("Usage"), std::string::npos) << p.err;
            EXPECT_EQ(p.err.find("No such"), std::string::npos) << p.err;
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

// Files as French spreadsheets write them: ';' or tab, a byte order mark, CRLF, French
// column names; what the batch does not read is said once on standard error.
TEST(CommandLine, FrenchSpreadsheets) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string result = "10.3 %;10;0.10338928041321527;0.09352022457316844;";
    struct Case {
        const char* name;
        std::string input;
        const char* options;
        std::string out;
        const char* err;
    };
    const Case cases[] = {
        {"Excel",
         bom + "Sexe;\xC3\x82ge;PAS;PAD;Cholest\xC3\xA9rol total;HDL;Unit\xC3\xA9;Ann\xC3\xA9"
               "es;Fumeur;DIAB\xC3\x88TE;hvg\r\nHomme;50;150;90;2,30;0,50;g/L;10;0;0;0\r\n",
         "",
         bom + "Sexe;\xC3\x82ge;PAS;PAD;Cholest\xC3\xA9rol total;HDL;Unit\xC3\xA9;Ann\xC3\xA9"
               "es;Fumeur;DIAB\xC3\x88TE;hvg;result;bar;p_sys;p_dia;error\r\nHomme;50;150;90;2,30;"
               "0,50;g/L;10;0;0;0;" + result + "\r\n",
         ""},
        {"tab, unread and missing columns", "id\t\xC3\xA2ge\ttabac\nA-1\t50\t\n", "",
         "id\t\xC3\xA2ge\ttabac\tresult\tbar\tp_sys\tp_dia\terror\nA-1\t50\t\t10.3 %\t10\t"
         "0.10338928041321527\t0.09352022457316844\t\n",
         "vessane-cli: entrée standard : colonnes non lues : « id »\nvessane-cli: entrée standard "
         ": sans colonne, valeur par défaut de la fenêtre : sex = Homme, systolic = 150, diastolic "
         "= 90, total = 2.30, hdl = 0.50, unit = g/L, years = 10, diabetes = 0, lvh = 0\n"},
        {"--quiet", "id;age\nx;50\n", "--quiet", "id;age;result;bar;p_sys;p_dia;error\nx;50;" +
         result + "\n", ""},
        {"--delimiter forced", "age;x\n50;1\n", "--quiet --delimiter ,",
         "age;x,result,bar,p_sys,p_dia,error\n50;1,10.3 %,10,0.10338928041321527,"
         "0.09352022457316844,\n",
         ""},
    };
    const std::string dir = ::testing::TempDir();
    const std::string path = dir + "vessane_french_" + std::to_string(getpid()) + ".csv";
    for (const Case& c : cases) {
        { std::ofstream(path, std::ios::binary) << c.input; }
        const Process p = RunCommand("CLI --batch - " + std::string(c.options) + " < '" + path + "'");
        EXPECT_EQ(p.out, c.out) << c.name;
        EXPECT_EQ(p.err, c.err) << c.name;
        EXPECT_EQ(p.status, 0) << c.name;
    }
    std::remove(path.c_str());
}

// The shared test cases through the batch: each row's added result is the table's.
TEST(CommandLine, SharedCasesThroughTheBatch) {
    const Process p = RunCommand("CLI --quiet --batch '" VESSANE_SHARED_CASES "'");
    ASSERT_EQ(p.status, 0) << p.err;
    const auto rows = vessane::testing::ParseCsv(p.out);
    ASSERT_EQ(rows.size(), vessane::testing::SharedCases().size() + 1);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), 18u);
        EXPECT_EQ(rows[r][13], rows[r][12]) << rows[r][0];  // the batch's result, the table's
    }
}

TEST(CommandLine, ClosedPipeEndsQuietly) {
    const Process p = RunCommand("(echo age; yes 50 | head -n 300000) | CLI --quiet --batch - | head -n 1");
    EXPECT_EQ(p.out, "age,result,bar,p_sys,p_dia,error\n");
    EXPECT_EQ(p.err, "");
}

}  // namespace
#endif
