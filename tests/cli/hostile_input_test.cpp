// Batch files and command lines that try to break the program: odd bytes, odd shapes,
// files that cannot be read and output that cannot be written. No row may be lost or
// altered, and no failure may end with exit status 0.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <string>

#include "batch.h"
#include "cli_test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#endif

namespace vessane::cli {
namespace {

using namespace std::string_literals;

constexpr const char* kAdded = "result,bar,p_sys,p_dia,error";
constexpr const char* kDefaultResult = "10.3 %,10,0.10338928041321527,0.09352022457316844,";

using BatchRun = testing::Run;

BatchRun Batch(const std::string& input) {
    return testing::RunBatchOn(input, "hostile.csv");
}

// Whether text is well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF).
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
        const unsigned char b = byte(i);
        std::size_t length = b < 0x80                 ? 1
                             : b >= 0xC2 && b <= 0xDF ? 2
                             : b >= 0xE0 && b <= 0xEF ? 3
                             : b >= 0xF0 && b <= 0xF4 ? 4
                                                      : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) return false;
        }
        if ((b == 0xE0 && byte(i + 1) < 0xA0) || (b == 0xED && byte(i + 1) > 0x9F) ||
            (b == 0xF0 && byte(i + 1) < 0x90) || (b == 0xF4 && byte(i + 1) > 0x8F)) {
            return false;
        }
        i += length;
    }
    return true;
}

TEST(HostileBatch, EveryRowComesOutUnchanged) {
    struct Case {
        const char* name;
        std::string input;
        std::string output;
    };
    const Case cases[] = {
        {"a line holding \"\" is a row of one empty cell: empty results", "age\n\"\"\n50\n",
         "age,"s + kAdded + "\n,,,,,\n50," + kDefaultResult + "\n"},
        {"quoted line breaks, LF and CRLF, inside cells",
         "note,age\n\"l1\r\nl2\",50\n\"a\nb\n\",29\n",
         "note,age,"s + kAdded + "\n\"l1\r\nl2\",50," + kDefaultResult +
             "\n\"a\nb\n\",29,ERREUR,,,,âge hors de l'intervalle [30-74] ans\n"},
        {"invalid UTF-8 is carried through byte for byte", "nom,age\n\xff\xfe\xc3,50\n",
         "nom,age,"s + kAdded + "\n\xff\xfe\xc3,50," + kDefaultResult + "\n"},
        {"a NUL byte in a number: refused, the cell carried through whole",
         "note,age\nx\0y,50\0"s + "7\n",
         "note,age,"s + kAdded + "\nx\0y,50\0"s + "7,ERREUR,,,,age : \xC2\xAB 50\0"s +
             "7 \xC2\xBB n'est pas un nombre\n"},
        {"byte order mark (written back) and a header alone, CRLF",
         "\xEF\xBB\xBF"
         "age,sex\r\n",
         "\xEF\xBB\xBF"
         "age,sex,"s +
             kAdded + "\r\n"},
        {"a short row with a quoted line break is padded", "note,age,sex\n\"x\ny\"\n",
         "note,age,sex,"s + kAdded +
             "\n\"x\ny\",,,ERREUR,,,,nombre de cellules incorrect : 1 au lieu de 3\n"},
        {"duplicated names differing in case: the first is read", "AGE,age\n29,50\n",
         "AGE,age,"s + kAdded + "\n29,50,ERREUR,,,,âge hors de l'intervalle [30-74] ans\n"},
        {"a quoted header cell with a comma is not a known column", "\"age,sex\",age\n29,50\n",
         "\"age,sex\",age,"s + kAdded + "\n29,50," + kDefaultResult + "\n"},
        {"a selector cell with invalid UTF-8 is quoted in the reason", "sex\n\xc3\n",
         "sex,"s + kAdded +
             "\n\xc3,ERREUR,,,,\"valeur de sex invalide : \"\"\xc3\"\" (attendu : Femme, Homme, "
             "F, H, M, female, male, 0 ou 1)\"\n"},
    };
    // The same files with ';' and tab between cells: the same rows, in order, and with ';'
    // the results' and probabilities' decimal commas. (A header of one column names no delimiter:
    // the output then takes ',').
    const auto withDelimiter = [](std::string text, char delimiter) {
        std::replace(text.begin(), text.end(), ',', delimiter);
        const std::string d(1, delimiter);
        const std::string list = "Femme" + d + " Homme" + d + " F" + d + " H" + d + " M" + d +
                                 " female" + d + " male" + d + " 0";
        if (const std::size_t at = text.find(list); at != std::string::npos) {
            text.replace(at, list.size(), "Femme, Homme, F, H, M, female, male, 0");
        }
        for (const char* p : {"0.10338928041321527", "0.09352022457316844", "10.3 %"}) {
            const std::size_t at = delimiter == ';' ? text.find(p) : std::string::npos;
            if (at != std::string::npos) text[text.find('.', at)] = ',';
        }
        return text;
    };
    for (const Case& c : cases) {
        const bool oneColumn = c.input.substr(0, c.input.find('\n')).find(',') == std::string::npos;
        for (const char delimiter : {',', ';', '\t'}) {
            if (oneColumn && delimiter != ',') continue;
            const BatchRun run = Batch(withDelimiter(c.input, delimiter));
            EXPECT_EQ(run.out, withDelimiter(c.output, delimiter)) << c.name << " " << delimiter;
            EXPECT_EQ(run.status, 0) << c.name;
            EXPECT_EQ(run.err, "") << c.name;
        }
    }
}

TEST(HostileBatch, ReasonNeverCutsAUtf8Sequence) {
    // A long bad cell is cut in its reason; wherever the cut falls, the reason stays
    // valid UTF-8.
    for (const std::string& pad : {""s, "a"s, "ab"s, "abc"s}) {
        std::string cell = pad;
        while (cell.size() < 60) cell += "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // é € 😀
        const BatchRun run = Batch("unit\n" + cell + "\n");
        const std::size_t reason = run.out.find("valeur de unit");
        ASSERT_NE(reason, std::string::npos) << run.out;
        EXPECT_TRUE(IsUtf8(run.out)) << "pad " << pad.size() << ": " << run.out.substr(reason);
        EXPECT_NE(run.out.find("...\"\""), std::string::npos) << run.out;
    }
}

TEST(HostileBatch, RowCountSurvivesEveryShape) {
    // Rows of many shapes, with and without a final line break: one output line each.
    const std::string rows[] = {
        "50", "",     "\"\"", "\"a\"\"b\"", "1,2,3", "\"x\r\ny\"", "\xEF\xBB\xBF",
        "\r", "a\"b", ",",    "\"\",",      "29",    "\"50\"",
    };
    for (const char* end : {"\n", "\r\n"}) {
        std::string input = "age,note"s + end;
        int expected = 0;
        for (const std::string& row : rows) {
            input += row + end;
            // A line holding nothing at all stays an empty line, beside its neighbours.
            ++expected;
        }
        input += "50";  // a last row without a line break
        ++expected;
        const BatchRun run = Batch(input);
        EXPECT_EQ(run.status, 0) << run.err;
        // Every output row ends with the error cell, empty or not; count line ends that
        // follow one, outside quoted cells.
        int count = -1;  // the header
        bool quoted = false;
        for (char ch : run.out) {
            if (ch == '"') quoted = !quoted;
            if (ch == '\n' && !quoted) ++count;
        }
        EXPECT_EQ(count, expected) << "line end " << (end[1] ? "CRLF" : "LF") << "\n" << run.out;
    }
}

TEST(HostileBatch, EveryRowComesOutTheSameInAnyBlock) {
    // Rows of every shape, alone and then over many blocks: each row's output is the
    // same wherever it falls, whatever thread evaluates it.
    const std::string header = "sex,age,note,smoker\n";
    const std::string rows =
        "Homme,50,\"a,b\",1\n29\n\"x\ny\",50,\xff,2\nFemme,60,\"q\"\"q\",0,extra\n\"\"\n,,,\r\n"
        "Femme,55,\"" +
        std::string(5000, 'z') + "\",\n";
    const BatchRun one = Batch(header + rows);
    const std::size_t headerEnd = one.out.find('\n') + 1;
    std::string input = header;
    std::string output = one.out.substr(0, headerEnd);
    for (int i = 0; i < 700; ++i) {
        input += rows;
        output += one.out.substr(headerEnd);
    }
    const BatchRun many = Batch(input);
    EXPECT_TRUE(many.out == output);
    EXPECT_EQ(many.status, 0);
}

#ifndef _WIN32

using Process = testing::Run;

Process Shell(const std::string& command) {
    return testing::RunShell(command);
}

std::string WriteFile(const std::string& name, const std::string& content) {
    const std::string path = ::testing::TempDir() + name + "_" + std::to_string(getpid());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

TEST(HostileCommandLine, FilesOfEveryShape) {
    struct Case {
        const char* name;
        std::string content;
        std::string out;
        int status;
    };
    const Case cases[] = {
        {"empty file", "", "", 0},
        {"header only, no line break", "age", "age,"s + kAdded + "\n", 0},
        {"NUL bytes", "n,age\n\0,50\n"s, "n,age,"s + kAdded + "\n\0,50,"s + kDefaultResult + "\n",
         0},
        {"unterminated quote after a row", "age\n50\n\"5",
         "age,"s + kAdded + "\n50," + kDefaultResult + "\n", 1},
    };
    for (const Case& c : cases) {
        const std::string path = WriteFile("vessane_hostile.csv", c.content);
        const Process p = Shell("CLI --defaults --quiet --batch '" + path + "'");
        std::remove(path.c_str());
        EXPECT_EQ(p.out, c.out) << c.name;
        EXPECT_EQ(p.status, c.status) << c.name;
        EXPECT_EQ(p.err.empty(), c.status == 0) << c.name << ": " << p.err;
    }
}

TEST(HostileCommandLine, UnreadableFileIsAUsageError) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads a file whatever its permissions (a directory, which "
                        "nobody can read as a file, is tested in CommandLine.BatchFiles)";
    }
    const std::string path = WriteFile("vessane_locked.csv", "age\n50\n");
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    const Process p = Shell("CLI --defaults --batch '" + path + "'");
    std::remove(path.c_str());
    EXPECT_EQ(p.status, 2);
    EXPECT_EQ(p.out, "");
    EXPECT_NE(p.err.find("impossible d'ouvrir"), std::string::npos) << p.err;
}

TEST(HostileCommandLine, OutputThatCannotBeWrittenIsAFailure) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    const char* const commands[] = {
        "CLI > /dev/full",
        "CLI --details > /dev/full",
        "CLI --help > /dev/full",
        "printf 'age\\n50\\n' | CLI --defaults --quiet --batch - > /dev/full",
    };
    for (const char* command : commands) {
        const Process p = Shell(command);
        EXPECT_NE(p.status, 0) << command;
        EXPECT_NE(p.err.find("erreur d'écriture"), std::string::npos) << command << ": " << p.err;
    }
}

TEST(HostileCommandLine, ClosedPipeOnAnErrorRow) {
    // Rows of ERREUR with long reasons fill the pipe as fast as results do.
    const Process p = Shell(
        "(echo sex,age; yes x,29 | head -n 200000) | CLI --defaults --quiet --batch - | head -n 1");
    EXPECT_EQ(p.out, "sex,age,"s + kAdded + "\n");
    EXPECT_EQ(p.err, "");
}

#endif

}  // namespace
}  // namespace vessane::cli
