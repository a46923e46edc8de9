// The command line's contract as a user meets it: output, standard error, exit status.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
              "equation systolique\ndigits_sys 3\ndigits_dia 2\n"
              "et si : déjà non-fumeur\n"
              "et si : avec une pression à 120/80 mm Hg, le modèle donnerait 7.7 %\n"
              "et si : avec un cholestérol total à 2.00 g/L, le modèle donnerait 8.6 %\n"
              "et si : avec un cholestérol HDL à 0.60 g/L, le modèle donnerait 8.1 %\n"
              "et si : avec tous ces changements ensemble, le modèle donnerait 4.8 %\n");
    EXPECT_NE(RunCommand("CLI --help").out.find("--batch"), std::string::npos);
}

TEST(CommandLine, BatchFiles) {
    const std::string dir = ::testing::TempDir();
    // A name of this process's own: another test run may be using the same folder.
    const std::string rows = dir + "vessane_rows_" + std::to_string(getpid()) + ".csv";
    { std::ofstream(rows) << "age\n50\n29\n"; }
    const Process ok = RunCommand("CLI --defaults --batch '" + rows + "'");
    std::remove(rows.c_str());
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(std::count(ok.out.begin(), ok.out.end(), '\n'), 3);

    const Process fromStdin = RunCommand("printf 'age\\n50\\n' | CLI --defaults --batch -");
    EXPECT_EQ(fromStdin.status, 0);
    EXPECT_NE(fromStdin.out.find("10.3 %"), std::string::npos);

    const Process missing = RunCommand("CLI --batch '" + dir + "no-such-file.csv'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("impossible d'ouvrir"), std::string::npos);

    const Process directory = RunCommand("CLI --batch '" + dir + "'");
    EXPECT_EQ(directory.status, 2) << directory.err;
    EXPECT_FALSE(directory.err.empty());
}

// Files as spreadsheets write them, and the options that settle what a file leaves open.
TEST(CommandLine, SpreadsheetDialects) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string full =
        "sex;age;systolic;diastolic;total;hdl;unit;years;smoker;diabetes;lvh\n";
    const std::string row = "1;50;150;90;2,30;0,50;g/L;10;0;0;0\n";
    const std::string added = ";result;bar;p_sys;p_dia;error\n";
    const std::string result = ";10,3 %;10;0,10338928041321527;0,09352022457316844;\n";
    struct Case {
        const char* name;
        std::string input;
        const char* options;
        int status;
        std::string out;
        const char* err;  // contained in standard error
    };
    const std::string optional = "sans colonne : horizon = 10 ans, HVG = non";
    const Case cases[] = {
        {"French names: French added columns, decimal commas",
         bom + "Sexe;\xC3\x82ge;PAS;PAD;Cholest\xC3\xA9rol total;Cholest\xC3\xA9rol "
               "HDL;Unit\xC3\xA9;Fumeur ?;Diab\xC3\xA8te\xC2\xA0\r\n"
               "Homme;50;150;90;2,30;0,50;g/L;non ;non\r\n",
         "", 0,
         bom +
             "Sexe;\xC3\x82ge;PAS;PAD;Cholest\xC3\xA9rol total;Cholest\xC3\xA9rol HDL;Unit\xC3\xA9;"
             "Fumeur ?;Diab\xC3\xA8te\xC2\xA0;r\xC3\xA9sultat;barre;p_sys;p_dia;erreur\r\n"
             "Homme;50;150;90;2,30;0,50;g/L;non ;non" +
             result.substr(0, result.size() - 1) + "\r\n",
         optional.c_str()},
        {"Windows-1252 in and out, VRAI",
         "Sexe;\xC2ge;TAS;TAD;CT;HDL;Unit\xE9;Fumeur;Diab\xE8te\nF;50;150;90;2,30;0,50;g/"
         "L;VRAI;FAUX\n",
         "--quiet", 0,
         "Sexe;\xC2ge;TAS;TAD;CT;HDL;Unit\xE9;Fumeur;Diab\xE8te;r\xE9sultat;barre;p_sys;p_dia;"
         "erreur\n"
         "F;50;150;90;2,30;0,50;g/L;VRAI;FAUX;11,5 %;11;0,11479834270909162;0,11024536973942445;\n",
         optional.c_str()},
        {"a sep= line, written back", "sep=;\n" + full + row, "--quiet", 0,
         "sep=;\n" + full.substr(0, full.size() - 1) + added + row.substr(0, row.size() - 1) +
             result,
         ""},
        {"a blank first line", "\r\n" + full + row, "--quiet", 0,
         full.substr(0, full.size() - 1) + added + row.substr(0, row.size() - 1) + result, ""},
        {"as many , as ; in the header", "sex,age;systolic\n", "", 2, "",
         "pr\xC3\xA9"
         "cisez --delimiter"},
        {"--decimal . with ;", full + row, "--quiet --decimal .", 0,
         full.substr(0, full.size() - 1) + added + row.substr(0, row.size() - 1) +
             ";10.3 %;10;0.10338928041321527;0.09352022457316844;\n",
         ""},
        {"decimal commas in a tab-delimited file",
         "sex\tage\tsystolic\tdiastolic\ttotal\thdl\tunit\tsmoker\tdiabetes\tyears\tlvh\n"
         "1\t50\t150\t90\t2,30\t0,50\tg/L\t0\t0\t10\t0\n",
         "--quiet", 0,
         "sex\tage\tsystolic\tdiastolic\ttotal\thdl\tunit\tsmoker\tdiabetes\tyears\tlvh\tresult\tba"
         "r"
         "\tp_sys\tp_dia\terror\n1\t50\t150\t90\t2,30\t0,50\tg/L\t0\t0\t10\t0\t10,3 %\t10\t"
         "0,10338928041321527\t0,09352022457316844\t\n",
         ""},
        {"a required column missing: nothing computed", "id\t\xC3\xA2ge\ttabac\nA-1\t50\t\n", "", 2,
         "",
         "colonnes n\xC3\xA9"
         "cessaires absentes : sexe (sex), pression systolique (systolic)"},
        {"smoker and diabetes are required",
         "sex,age,systolic,diastolic,total,hdl,unit,Fumeur "
         "actuel\n1,50,150,90,2.30,0.50,g/L,0\n",
         "--quiet", 2, "",
         "colonnes n\xC3\xA9"
         "cessaires absentes : diab\xC3\xA8te (diabetes) ; toutes les colonnes ont "
         "\xC3\xA9t\xC3\xA9 lues : aucune ligne n'est calcul\xC3\xA9"
         "e"},
        {"--defaults naming the fields it stands for",
         "sex,age,systolic,diastolic,total,hdl,unit\n1,50,150,90,2.30,0.50,g/L\n",
         "--defaults diab\xC3\xA8te,Fumeur", 0,
         "sex,age,systolic,diastolic,total,hdl,unit,result,bar,p_sys,p_dia,error\n"
         "1,50,150,90,2.30,0.50,g/L,10.3 %,10,0.10338928041321527,0.09352022457316844,\n",
         "valeur par d\xC3\xA9"
         "faut : fumeur = non, diab\xC3\xA8te = non"},
        {"--defaults naming too few fields", "sex,age\n1,50\n", "--defaults=smoker", 2, "",
         "colonnes n\xC3\xA9"
         "cessaires absentes : pression systolique"},
        {"--defaults: the default form's values, said", "id\t\xC3\xA2ge\ttabac\nA-1\t50\t\n",
         "--defaults", 0,
         "id\t\xC3\xA2ge\ttabac\tr\xC3\xA9sultat\tbarre\tp_sys\tp_dia\terreur\nA-1\t50\t\t10.3 "
         "%\t10\t"
         "0.10338928041321527\t0.09352022457316844\t\n",
         "sans colonne, valeur par d\xC3\xA9"
         "faut : sexe = Homme, pression systolique = 150"},
        {"--unit for a column the file lacks",
         "sex;age;systolic;diastolic;total;hdl;smoker;diabetes\n1;50;150;90;5,93;1,29;0;0\n",
         "--quiet --unit mmol/L", 0,
         "sex;age;systolic;diastolic;total;hdl;smoker;diabetes" + added +
             "1;50;150;90;5,93;1,29;0;0;10,3 %;10;0,10330098742425275;0,09343793123474653;\n",
         optional.c_str()},
        {"--unit for a column the file has", full + row, "--unit mmol/L", 2, "",
         "a d\xC3\xA9j\xC3\xA0 la colonne"},
        {"a unit in the header's brackets, --unit that contradicts it",
         "sex;age;systolic;diastolic;CT (mmol/L);HDL;smoker;diabetes\n1;50;150;90;5,93;1,29;0;0\n",
         "--unit g/L", 2, "",
         "--unit g/L contredit l'en-t\xC3\xAAte \xC2\xAB CT (mmol/L) \xC2\xBB"},
        {"a row of empty cells: empty results; an identifier alone: values missing",
         "id;" + full + ";" + row + ";;;;;;;;;;;\n\nP-7;;;;;;;;;;;\n", "--quiet", 0,
         "id;" + full.substr(0, full.size() - 1) + added + ";" + row.substr(0, row.size() - 1) +
             result + ";;;;;;;;;;;;;;;;\n\nP-7;;;;;;;;;;;;ERREUR;;;;valeurs manquantes\n",
         ""},
        {"a single-form option with --batch", full + row, "--smoker", 2, "",
         "sans effet avec --batch"},
        {"--delimiter forced", "age;x\n50;1\n", "--defaults --quiet --delimiter ,", 0,
         "age;x,result,bar,p_sys,p_dia,error\n50;1,10.3 %,10,0.10338928041321527,"
         "0.09352022457316844,\n",
         ""},
        // Added cells that hold the delimiter are quoted.
        {"--decimal , with ,", "age\n50\n", "--defaults --quiet --delimiter , --decimal ,", 0,
         "age,result,bar,p_sys,p_dia,error\n"
         "50,\"10,3 %\",10,\"0,10338928041321527\",\"0,09352022457316844\",\n",
         ""},
        {"a sep= line naming a digit", "sep=1\nage\n59\n29\n", "--defaults --quiet", 0,
         "sep=1\nage1result1bar1p_sys1p_dia1error\n591\"15.5 %\"1\"15\"1\"0.15462027918784937\"1"
         "\"0.14777523551516425\"1\n291ERREUR1111\xC3\xA2ge hors de l'intervalle [30-74] ans\n",
         ""},
    };
    const std::string dir = ::testing::TempDir();
    const std::string path = dir + "vessane_french_" + std::to_string(getpid()) + ".csv";
    for (const Case& c : cases) {
        { std::ofstream(path, std::ios::binary) << c.input; }
        const Process p =
            RunCommand("CLI --batch - " + std::string(c.options) + " < '" + path + "'");
        EXPECT_EQ(p.out, c.out) << c.name;
        EXPECT_NE(p.err.find(c.err), std::string::npos) << c.name << ": " << p.err;
        if (*c.err == '\0') {
            EXPECT_EQ(p.err, "") << c.name;
        }
        EXPECT_EQ(p.status, c.status) << c.name;
    }
    std::remove(path.c_str());
}

// Spreadsheets as people type them (tests/data/spreadsheets, the files with a last column
// "attendu" or "expected"): each row's result, or its reason, is the one that column gives;
// a blank line stays a line.
TEST(CommandLine, SpreadsheetsAsPeopleTypeThem) {
    for (const char* file : {"typed-headers.csv", "mg-dl.csv"}) {
        const std::string path = std::string(VESSANE_SPREADSHEETS) + file;
        const Process p = RunCommand("CLI --quiet --batch '" + path + "'");
        ASSERT_EQ(p.status, 0) << file << ": " << p.err;
        const char delimiter = p.out[p.out.find_first_of(",;")];
        std::string out = p.out;
        out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
        const auto rows = vessane::testing::ParseCsv(out, delimiter);
        const std::size_t expected = rows[0].size() - 6;  // before the five added columns
        ASSERT_TRUE(rows[0][expected] == "attendu" || rows[0][expected] == "expected") << file;
        int checked = 0;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            const auto& row = rows[r];
            if (row.size() == 1 && row[0].empty()) continue;  // a blank line, kept
            ASSERT_EQ(row.size(), rows[0].size()) << file << " row " << r;
            const std::string& shown =
                row[expected + 1] == "ERREUR" ? row[expected + 5] : row[expected + 1];
            EXPECT_EQ(shown, row[expected]) << file << " row " << r;
            ++checked;
        }
        EXPECT_GT(checked, 2) << file;
        if (std::string(file) == "typed-headers.csv") {
            EXPECT_NE(out.find("\n\n"), std::string::npos) << "the blank line is kept";
        }
    }
}

// SCORE2 beside the 1991 result, with the papers' own figures: one form, then a batch
// with a region column and no diastolic column.
TEST(CommandLine, Score2) {
    const std::string man =
        " --sex Homme --age 50 --systolic 140 --total 5.5 --hdl 1.3 "
        "--unit mmol/L --smoker";
    const struct {
        std::string options;
        const char* out;
        int status;
    } cases[] = {
        {"--score2" + man, "13.6 %\nSCORE2 : 5.9 % (risque \xC3\xA9lev\xC3\xA9)\n", 0},
        {"--score2 --region très-élevé" + man,
         "13.6 %\nSCORE2 : 14.0 % (risque tr\xC3\xA8s \xC3\xA9lev\xC3\xA9)\n", 0},
        {"--score2 --region VERY-HIGH" + man,
         "13.6 %\nSCORE2 : 14.0 % (risque tr\xC3\xA8s \xC3\xA9lev\xC3\xA9)\n", 0},
        {"--score2 --sex Femme --age 75 --total 5.5 --hdl 1.3 --unit mmol/L --smoker --systolic "
         "140",
         "ERREUR\nSCORE2-OP : 15.2 % (risque tr\xC3\xA8s \xC3\xA9lev\xC3\xA9)\n", 1},
        {"--score2 --diabetes" + man,
         "18.6 %\nSCORE2 : pas de r\xC3\xA9sultat (SCORE2 ne s'applique pas au diab\xC3\xA8te ; "
         "SCORE2-Diabetes (ESC 2023) n'est pas calcul\xC3\xA9 ici)\n",
         0},
        {man, "13.6 %\n", 0},
        {"--score2 --region moyen", "", 2},
        {"--region bas", "", 2},
    };
    for (const auto& c : cases) {
        const Process p = RunCommand("CLI " + c.options);
        EXPECT_EQ(p.out, c.out) << c.options;
        EXPECT_EQ(p.status, c.status) << c.options;
    }
    const std::string input =
        "id;sexe;\xC3\xA2ge;PAS;CT;HDL;unit\xC3\xA9;fumeur;diab\xC3\xA8te;r\xC3\xA9gion\n"
        "A;H;50;140;5,5;1,3;mmol/L;oui;non;\nB;F;50;140;5,5;1,3;mmol/L;oui;non;tr\xC3\xA8s "
        "\xC3\xA9lev\xC3\xA9\nC;F;50;140;5,5;1,3;mmol/L;oui;non;moyen\n";
    const std::string path = ::testing::TempDir() + "score2_" + std::to_string(getpid()) + ".csv";
    { std::ofstream(path, std::ios::binary) << input; }
    const Process p = RunCommand("CLI --quiet --score2 --batch '" + path + "'");
    std::remove(path.c_str());
    ASSERT_EQ(p.status, 0) << p.err;
    const auto rows = vessane::testing::ParseCsv(p.out, ';');
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].back(), "score2_erreur");
    const std::string noDiastolic = "colonne absente : pression diastolique (diastolic)";
    const std::vector<std::vector<std::string>> expected = {
        {"ERREUR", noDiastolic, "5,9 %", "SCORE2", "\xC3\xA9lev\xC3\xA9", ""},
        {"ERREUR", noDiastolic, "13,7 %", "SCORE2", "tr\xC3\xA8s \xC3\xA9lev\xC3\xA9", ""},
        {"ERREUR", noDiastolic, "", "SCORE2", "",
         "r\xC3\xA9gion invalide : \xC2\xAB moyen \xC2\xBB (bas, mod\xC3\xA9r\xC3\xA9, "
         "\xC3\xA9lev\xC3\xA9, tr\xC3\xA8s \xC3\xA9lev\xC3\xA9)"}};
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto& row = rows[r];
        ASSERT_EQ(row.size(), 20u);
        const std::vector<std::string> got = {row[10], row[14], row[15], row[17], row[18], row[19]};
        EXPECT_EQ(got, expected[r - 1]) << row[0];
    }
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

// "Et si…" as --details prints it: the shared table's lines, and each single change's
// risk is what the single-form path shows for the form so changed.
TEST(CommandLine, WhatIfLines) {
    std::ifstream file(VESSANE_WHAT_IF_CASES);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    const auto rows = vessane::testing::ParseCsv(text);
    ASSERT_GT(rows.size(), 3u);
    const char* const names[] = {"sex",   "age", "systolic", "diastolic",
                                 "total", "hdl", "unit",     "years"};
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto& row = rows[r];
        std::string form;
        for (int k = 0; k < 8; ++k) form += " --" + std::string(names[k]) + " '" + row[k + 1] + "'";
        for (int k = 0; k < 3; ++k) {
            if (row[9 + k] == "1")
                form += std::string(" --") + (k == 0 ? "smoker" : k == 1 ? "diabetes" : "lvh");
        }
        const Process p = RunCommand("CLI --details" + form);
        std::string lines;
        for (std::size_t at = 0; (at = p.out.find("et si : ", at)) != std::string::npos;) {
            const std::size_t end = p.out.find('\n', at);
            lines += (lines.empty() ? "" : " | ") + p.out.substr(at + 8, end - at - 8);
            at = end;
        }
        EXPECT_EQ(lines, row[12]) << row[0];
        const bool grams = row[7] == "g/L";
        const struct {
            const char* line;
            std::string change;
        } singles[] = {{"sans tabac, ", " --smoker 0"},
                       {"avec une pression à 120/80 mm Hg, ", " --systolic 120 --diastolic 80"},
                       {"avec une systolique à 120 mm Hg, ", " --systolic 120"},
                       {"avec un cholestérol total à ", grams ? " --total 2.00" : " --total 5.16"},
                       {"avec un cholestérol HDL à ", grams ? " --hdl 0.60" : " --hdl 1.55"}};
        for (const auto& single : singles) {
            const std::size_t at = lines.find(single.line);
            if (at == std::string::npos) continue;
            std::string changed = form;
            if (single.change == " --smoker 0") {
                changed.erase(changed.find(" --smoker"), 9);
            } else {
                changed += single.change;  // a later option replaces an earlier one
            }
            const std::string shown = RunCommand("CLI" + changed).out;
            const std::size_t value = lines.find("donnerait ", at) + 10;
            EXPECT_EQ(lines.substr(value, lines.find(" %", value) + 2 - value) + "\n", shown)
                << row[0] << ": " << single.line;
        }
    }
}

}  // namespace
#endif
