// Batch evaluation of a CSV file: every row kept, in order, with its result.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "batch.h"
#include "cli_test_support.h"
#include "control_ids.h"
#include "form_entries.h"
#include "form_input.h"
#include "on_calcul.h"
#include "shared_cases.h"

namespace vessane::cli {
namespace {

using BatchRun = testing::Run;

BatchRun RunOn(const std::string& input) {
    return testing::RunBatchOn(input);
}

TEST(Batch, WritesEveryRowWithItsResult) {
    struct Case {
        const char* name;
        std::string input;
        std::string output;
        int status;
    };
    const Case cases[] = {
        {"defaults for missing columns", "id\n1\n",
         "id,result,bar,p_sys,p_dia,error\n1,10.3 %,10,0.10338928041321527,"
         "0.09352022457316844,\n",
         0},
        {"columns in any order and case",
         "AGE,Sex,Unit,Total,HDL,smoker,Systolic\r\n59,1,mmol/L,6.0,1.0,1,152\r\n",
         "AGE,Sex,Unit,Total,HDL,smoker,Systolic,result,bar,p_sys,p_dia,error\r\n"
         "59,1,mmol/L,6.0,1.0,1,152,29. %,29,0.2898627777197702,0.27727283092711863,\r\n",
         0},
        {"invalid form", "age\n29\n",
         "age,result,bar,p_sys,p_dia,error\n29,ERREUR,,,,âge hors de l'intervalle [30-74] ans\n",
         0},
        {"bad flag", "smoker,x\n2,\"a,b\"\n",
         "smoker,x,result,bar,p_sys,p_dia,error\n"
         "2,\"a,b\",ERREUR,,,,\"valeur de smoker invalide : \"\"2\"\" (attendu : 1, oui, vrai, x ; "
         "0, non, "
         "faux ou vide)\"\n",
         0},
        {"bad unit", "unit\nmg/dL\n",
         "unit,result,bar,p_sys,p_dia,error\nmg/dL,ERREUR,,,,\"valeur de unit invalide : "
         "\"\"mg/dL\"\" (attendu : mmol/L, g/L, 0 ou 1)\"\n",
         0},
        {"too few and too many cells", "a,b\n1\n1,2,3\n",
         "a,b,result,bar,p_sys,p_dia,error\n1,,ERREUR,,,,nombre de cellules incorrect : 1 au lieu "
         "de 2\n"
         "1,2,ERREUR,,,,nombre de cellules incorrect : 3 au lieu de 2\n",
         0},
        {"first of a duplicated column is read", "age,age\n50,29\n",
         "age,age,result,bar,p_sys,p_dia,error\n50,29,10.3 %,10,0.10338928041321527,"
         "0.09352022457316844,\n",
         0},
        {"header only", "age,sex\n", "age,sex,result,bar,p_sys,p_dia,error\n", 0},
        {"empty file", "", "", 0},
        {"unterminated quote", "age\n50\n\"30\n",
         "age,result,bar,p_sys,p_dia,error\n50,10.3 %,10,0.10338928041321527,"
         "0.09352022457316844,\n",
         1},
    };
    for (const Case& c : cases) {
        const BatchRun run = RunOn(c.input);
        EXPECT_EQ(run.out, c.output) << c.name;
        EXPECT_EQ(run.status, c.status) << c.name;
        EXPECT_EQ(run.err.empty(), c.status == 0) << c.name << ": " << run.err;
    }
}

// --defaults stands for the fields it names, and for them only: a file without one column
// is computed when that field is named (or the column is optional), refused otherwise.
TEST(Batch, DefaultsStandOnlyForTheFieldsNamed) {
    const char* const values[kFormColumnCount] = {"1",   "50", "150", "90", "2.30", "0.50",
                                                  "g/L", "10", "0",   "0",  "0"};
    for (int missing = 0; missing < kFormColumnCount; ++missing) {
        std::string header, row;
        for (int c = 0; c < kFormColumnCount; ++c) {
            if (c == missing) continue;
            if (!header.empty()) {
                header += ',';
                row += ',';
            }
            header += kFormColumnNames[c];
            row += values[c];
        }
        const std::string input = header + "\n" + row + "\n";
        FieldSet alone{}, others = kEveryField;
        alone[missing] = true;
        others[missing] = false;
        const bool required = kRequiredColumns[missing];
        for (const auto& [defaults, computed] :
             {std::pair{FieldSet{}, !required}, std::pair{others, !required},
              std::pair{alone, true}, std::pair{kEveryField, true}}) {
            const testing::Run run = testing::RunBatchWithJobs(input, "cohorte.csv", 1, defaults);
            EXPECT_EQ(run.status, computed ? 0 : 2) << kFormColumnNames[missing];
            EXPECT_EQ(run.out.find(",10.3 %,") != std::string::npos, computed)
                << kFormColumnNames[missing] << ": " << run.out;
        }
    }
}

// Cells are written back as a CSV writer would write them: quoted only when they hold a
// quote, a comma, CR or LF, whether or not they were quoted in the input.
TEST(Batch, CellsAreWrittenBackAsAWriterWould) {
    const std::string result = ",10.3 %,10,0.10338928041321527,0.09352022457316844,\n";
    const struct {
        const char* name;
        std::string input;
        std::string firstCells;
    } cases[] = {
        {"plain cells", "x,y\nabc,d\n", "abc,d"},
        {"quoted cell without special characters", "x,y\n\"abc\",d\n", "abc,d"},
        {"stray quote inside a cell", "x,y\nab\"c,d\n", "\"ab\"\"c\",d"},
        {"lone CR inside a cell", "x,y\na\rb,d\n", "\"a\rb\",d"},
        {"quoted comma", "x,y\n\"a,b\",d\n", "\"a,b\",d"},
        {"empty cells", "x,y\n,\n", ","},
        {"one empty quoted cell", "x\n\"\"\n", ""},
    };
    for (const auto& c : cases) {
        const BatchRun run = RunOn(c.input);
        const std::size_t header = run.out.find('\n') + 1;
        EXPECT_EQ(run.out.substr(header), c.firstCells + result) << c.name;
    }
}

TEST(Batch, ReportsTheLineOfAnUnterminatedQuote) {
    const BatchRun run = RunOn("age\n50\n\n\"30\n");
    EXPECT_NE(run.err.find("cohorte.csv:4"), std::string::npos) << run.err;
}

// A cell as the batch writes it: quoted when it holds a quote or a comma.
std::string CsvCell(const std::string& text) {
    if (text.find_first_of("\",") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Runs input through the batch and checks that row i ends with exactly the cells the
// single-form path gives forms[i]. Returns how many rows showed a result.
int ExpectRowsAgree(const std::string& input, const std::vector<FormInput>& forms) {
    const BatchRun run = RunOn(input);
    EXPECT_EQ(run.status, 0);
    std::size_t lineStart = run.out.find('\n') + 1;
    int shown = 0;
    for (const FormInput& f : forms) {
        const std::size_t lineEnd = run.out.find('\n', lineStart);
        if (lineEnd == std::string::npos) {
            ADD_FAILURE() << "rows missing from the output";
            return shown;
        }
        const std::string line = run.out.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        MemoryForm form;
        const FormOutcome expected = Evaluate(f, form);
        shown += expected.valid;
        const std::string added = expected.valid
                                      ? "," + expected.result + "," + std::to_string(expected.bar) +
                                            "," + ShortestDecimal(expected.pSys) + "," +
                                            ShortestDecimal(expected.pDia) + ","
                                      : ",ERREUR,,,," + CsvCell(expected.failure);
        EXPECT_TRUE(line.size() >= added.size() &&
                    line.compare(line.size() - added.size(), added.size(), added) == 0)
            << line << "\nexpected to end with " << added;
    }
    EXPECT_EQ(lineStart, run.out.size());
    return shown;
}

TEST(Batch, AgreesWithTheSingleFormPath) {
    std::string input = "sex,age,systolic,diastolic,total,hdl,unit,years,smoker,diabetes,lvh\n";
    std::vector<FormInput> forms;
    for (int i = 0; i < 400; ++i) {
        FormInput f;
        f.sex = i % 2;
        f.age = std::to_string(28 + i % 50);
        f.systolic = std::to_string(90 + i * 7 % 170);
        f.diastolic = std::to_string(50 + i * 3 % 100);
        f.total = std::to_string(1 + i % 5) + "." + std::to_string(i % 10) + "5";
        f.hdl = "0." + std::to_string(3 + i % 7);
        f.unit = i / 2 % 2;
        f.years = std::to_string(2 + i % 9);
        f.smoker = i / 3 % 2;
        f.diabetes = i / 5 % 2;
        f.lvh = i / 7 % 2;
        forms.push_back(f);
        input += std::to_string(f.sex) + "," + f.age + "," + f.systolic + "," + f.diastolic + "," +
                 f.total + "," + f.hdl + "," + std::to_string(f.unit) + "," + f.years + "," +
                 std::to_string(f.smoker) + "," + std::to_string(f.diabetes) + "," +
                 std::to_string(f.lvh) + "\n";
    }
    const int shown = ExpectRowsAgree(input, forms);
    EXPECT_GT(shown, 100);  // the table exercises results, not only errors
}

// A cell is read whole: a number, perhaps with spaces around it and its column's unit, or
// refused with its column and text. One cell changed a row from the window's defaults
// (Homme, 50, 150/90, 2.30 and 0.50 g/L, 10 ans, nothing ticked: 10.3 %).
TEST(Batch, ReadsEachCellWhole) {
    struct Case {
        int column;        // the changed cell, in the header's order
        const char* cell;  // as written in the file
        const char* result;
        const char* error;
    } cases[] = {
        {1, " 50", "10.3 %", ""},
        {1, "0000050", "10.3 %", ""},
        {1, "5e1", "10.3 %", ""},
        {1, "+60", "16.1 %", ""},
        {1, "\t55", "13.1 %", ""},
        {1, "50 ans", "10.3 %", ""},
        {1, "60.999999", "16.7 %", ""},  // not cut to the window's six characters
        {1, "1e", "ERREUR", "age : \u00ab 1e \u00bb n'est pas un nombre"},
        {1, "0x1A", "ERREUR", "age : \u00ab 0x1A \u00bb n'est pas un nombre"},
        {1, "nan", "ERREUR", "age : \u00ab nan \u00bb n'est pas un nombre"},
        {1, "1 245", "ERREUR", "age : \u00ab 1 245 \u00bb n'est pas un nombre"},
        {1, ".5", "ERREUR", "\u00e2ge hors de l'intervalle [30-74] ans"},
        {1, "\"1,5\"", "ERREUR", "\u00e2ge hors de l'intervalle [30-74] ans"},
        {2, "150 mm Hg", "10.3 %", ""},
        {2, "120/80", "ERREUR", "systolic : \u00ab 120/80 \u00bb n'est pas un nombre"},
        {2, "79.9", "ERREUR", "pression systolique hors de l'intervalle [80-250] mm Hg"},
        {4, "2.30 g/L", "10.3 %", ""},
        {4, "2.30 mmol/L", "ERREUR",
         "total : \u00ab 2.30 mmol/L \u00bb n'est pas dans l'unit\u00e9 de la ligne"},
        {4, "4.65", "22.3 %", ""},
        {4, "4.66", "ERREUR",
         "cholest\u00e9rol total hors de l'intervalle [2-12] mmol/L (0.78 \u00e0 4.65 g/L)"},
        {5, "0.12", "39 %", ""},
        {8, " oui ", "16.2 %", ""},
        {8, "x", "16.2 %", ""},
        {8, "peut-\u00eatre", "ERREUR",
         "valeur de smoker invalide : \"peut-\u00eatre\" (attendu : 1, oui, vrai, x ; 0, non, "
         "faux ou vide)"},
    };
    const std::vector<std::string> defaults = {"Homme", "50", "150", "90", "2.30", "0.50",
                                               "g/L",   "10", "0",   "0",  "0"};
    std::string input = "sex,age,systolic,diastolic,total,hdl,unit,years,smoker,diabetes,lvh\n";
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < defaults.size(); ++i) {
            if (i > 0) input += ',';
            input.append(static_cast<int>(i) == c.column ? std::string_view(c.cell)
                                                         : std::string_view(defaults[i]));
        }
        input += "\n";
    }
    const BatchRun run = RunOn(input);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = vessane::testing::ParseCsv(run.out);
    ASSERT_EQ(rows.size(), std::size(cases) + 1);
    for (std::size_t r = 0; r < std::size(cases); ++r) {
        const auto& row = rows[r + 1];
        ASSERT_EQ(row.size(), 16u) << cases[r].cell;
        EXPECT_EQ(row[11], cases[r].result) << cases[r].cell;
        EXPECT_EQ(row[15], cases[r].error) << cases[r].cell;
    }
}

TEST(Batch, LargeCellIsCarriedThrough) {
    const std::string big(1 << 20, 'x');
    const BatchRun run = RunOn("note,age\n" + big + ",50\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find(big + ",50,10.3 %"), std::string::npos);

    // One that must be quoted again on the way out, larger than any buffer's slack.
    std::string quoted(1 << 20, 'q');
    for (std::size_t i = 0; i < quoted.size(); i += 1000) quoted[i] = i % 2000 ? ',' : '"';
    std::string escaped;
    for (char c : quoted) escaped += c == '"' ? std::string("\"\"") : std::string(1, c);
    const BatchRun again = RunOn("note,age\n\"" + escaped + "\",50\n");
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("\"" + escaped + "\",50,10.3 %"), std::string::npos);

    // One whose need of quotes shows only at its end, after it has outgrown a block.
    const BatchRun late = RunOn("note,age\n" + big + "\r\",50\n");
    EXPECT_NE(late.out.find(",age,result,bar,p_sys,p_dia,error\n\"" + big + "\r\"\"\",50,10.3 %"),
              std::string::npos);
}

// Both selectors in one process, interleaved: each reads its own entries.
TEST(Selectors, EntriesCaseInsensitivelyOrIndices) {
    const struct {
        bool sex;
        const char* text;
        int index;
    } cases[] = {
        {false, "g/L", 1},  {true, "Homme", 1},   {true, "femme", 0},   {false, "MMOL/L", 0},
        {true, "g/L", -1},  {false, "Homme", -1}, {true, "1", 1},       {false, "0", 0},
        {true, "2", -1},    {false, "", -1},      {true, " Homme", -1}, {false, "g/L ", -1},
        {true, "HOMME", 1}, {false, "mmol/l", 0}, {true, "-1", -1},     {false, "1", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.sex ? ParseSexSelector(c.text) : ParseUnitSelector(c.text), c.index)
            << (c.sex ? "sex " : "unit ") << '"' << c.text << '"';
    }
}

TEST(ShortestDecimal, RoundTripsWithAPoint) {
    EXPECT_EQ(ShortestDecimal(0.1), "0.1");
    EXPECT_EQ(ShortestDecimal(0.0), "0.0");
    EXPECT_EQ(ShortestDecimal(1.0), "1.0");
    EXPECT_EQ(ShortestDecimal(0.000119), "0.000119");
}

// Probabilities take a shortcut of exact integer arithmetic; it must write what
// std::to_chars writes: fewest decimals, then the nearest, ties to even. Random bits
// across the shortcut's range and beyond, decimal-looking values and their neighbours.
TEST(ShortestDecimal, ShortcutWritesWhatToCharsWrites) {
    std::vector<double> values = {
        0x1p-20, 0x1p-21, 0x1.fffffffffffffp-1, 0.5, 0.75, 0.375, 0x1.0000000000001p-20,
        1e-300,  5e-324,  0.9999999999999999};
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (int i = 0; i < 300000; ++i) {
        std::uint64_t bits = (std::uint64_t{1000 + next() % 25} << 52) | (next() >> 12);
        if (i % 4 == 0) bits &= ~std::uint64_t{0xFFFFFF};  // short binary fractions
        values.push_back(std::bit_cast<double>(bits));
        const double decimal = static_cast<double>(next() % 1000000) / 1e6;
        for (double d : {decimal, std::nextafter(decimal, 0.0), std::nextafter(decimal, 1.0)}) {
            values.push_back(d);
        }
    }
    // Mantissas with many trailing zeros: the only ones whose shortest text can be an
    // exact tie between two nearest candidates (0x1.0002p-1 is 0.50000762939453125).
    for (int zeros = 20; zeros < 52; ++zeros) {
        for (int i = 0; i < 2000; ++i) {
            const std::uint64_t mantissa = (next() | 1) << zeros & ((std::uint64_t{1} << 52) - 1);
            values.push_back(
                std::bit_cast<double>(std::uint64_t{1003 + next() % 20} << 52 | mantissa));
        }
    }
    for (const double value : values) {
        char expected[400];
        char* end = std::to_chars(expected, expected + 398, value, std::chars_format::fixed).ptr;
        if (std::find(expected, end, '.') == end) end = std::copy_n(".0", 2, end);
        ASSERT_EQ(ShortestDecimal(value), std::string(expected, end)) << std::hexfloat << value;
    }
}

// Ten million random doubles in [2^-30, 1): every binade a probability may fall in, so
// every number of decimals the shortcut writes (up to 22), and below its range. Named
// Exhaustive: the test presets run it once, natively, not under a sanitizer nor Wine.
TEST(ShortestDecimal, ExhaustiveTenMillionProbabilitiesAsToCharsWritesThem) {
    std::uint64_t state = 0x2545F4914F6CDD1DULL;
    char expected[400];
    char actual[kMaxShortestDecimal + 32];
    for (int i = 0; i < 10000000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const std::uint64_t binade = 1022 - (state & 0xFFF) % 30;  // bits apart from the mantissa
        const double value = std::bit_cast<double>(binade << 52 | (state >> 12));
        char* end = std::to_chars(expected, expected + 398, value, std::chars_format::fixed).ptr;
        const char* const actualEnd = WriteShortestDecimal(value, actual);
        ASSERT_EQ(std::string_view(actual, static_cast<std::size_t>(actualEnd - actual)),
                  std::string_view(expected, static_cast<std::size_t>(end - expected)))
            << std::hexfloat << value;
    }
}

}  // namespace
}  // namespace vessane::cli
