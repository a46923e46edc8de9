// The accepted values as the one range table holds them, tied to what the form really
// accepts and to what the manual page, the R help and the README say.
#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "accepted_ranges.h"
#include "form_texts.h"
#include "header_resolver.h"
#include "on_calcul.h"

namespace vessane {
namespace {

std::string Number(double value) {
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

ValidationCheck CheckOfGrams(ValidationCheck check, double grams) {
    FormValues values{50, 150, 90, 2.30, 0.50, 10, 1, kUnitGramPerL, 0, 0, 0};
    (check == ValidationCheck::kTotalChol ? values.total : values.hdl) = grams;
    if (check == ValidationCheck::kHdlChol) values.total = 4.6;  // keeps the margin
    RiskState state{};
    return EvaluateValues(values, state);
}

// The g/L bounds are the extreme two-decimal values the form accepts.
TEST(AcceptedRanges, GramBoundsAreTheLastAccepted) {
    for (const AcceptedRange& range : kAcceptedRanges) {
        if (range.gramHigh == 0) continue;
        EXPECT_EQ(CheckOfGrams(range.check, range.gramLow), ValidationCheck::kNone) << range.reason;
        EXPECT_EQ(CheckOfGrams(range.check, range.gramLow - 0.01), range.check) << range.reason;
        EXPECT_EQ(CheckOfGrams(range.check, range.gramHigh), ValidationCheck::kNone)
            << range.reason;
        EXPECT_EQ(CheckOfGrams(range.check, range.gramHigh + 0.01), range.check) << range.reason;
    }
}

std::string Slurp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    return {std::istreambuf_iterator<char>(file), {}};
}

// Each document states every range, the g/L bounds and the two margins, as its own
// markup spells an interval.
TEST(AcceptedRanges, DocumentedAsAccepted) {
    struct Document {
        const char* path;
        const char* dash;  // between two bounds
    } const documents[] = {{"docs/man/vessane-cli.1.in", "\\-"},
                           {"docs/man/fr/vessane-cli.1.in", "\\-"},
                           {"r/man/vessane_risk.Rd", "--"},
                           {"README.md", "–"}};
    for (const Document& document : documents) {
        const std::string text = Slurp(std::string(VESSANE_SOURCE_DIR "/") + document.path);
        const auto expect = [&](double low, double high) {
            const std::string interval = Number(low) + document.dash + Number(high);
            EXPECT_NE(text.find(interval), std::string::npos) << document.path << ": " << interval;
        };
        for (const AcceptedRange& range : kAcceptedRanges) {
            expect(range.low, range.high);
            if (range.gramHigh != 0) expect(range.gramLow, range.gramHigh);
        }
        for (const AcceptedMargin& rule : kAcceptedMargins) {
            EXPECT_NE(text.find("+ " + Number(rule.margin)), std::string::npos)
                << document.path << ": + " << Number(rule.margin);
        }
        // The g/L labels' upper bounds are not what is accepted.
        const RangeLabels& labels = kRangeLabels[kUnitGramPerL];
        for (const char* label : {labels.total, labels.hdl}) {
            std::string bound = label;
            bound = document.dash + bound.substr(bound.find('-') + 1);
            bound.back() = ' ';
            EXPECT_EQ(text.find(bound + "g/L"), std::string::npos)
                << document.path << ": " << bound;
        }
    }
}

// Each manual lists, field by field, exactly the names the header resolver knows: read as
// a reader sees them (roff's accents decoded), then folded as a header's names are.
TEST(ColumnNames, ManualsListTheResolversNames) {
    const std::pair<const char*, const char*> kAccents[] = {
        {"\\('e", "\xC3\xA9"}, {"\\(`e", "\xC3\xA8"}, {"\\(^a", "\xC3\xA2"},
        {"\\(`a", "\xC3\xA0"}, {"\\(^e", "\xC3\xAA"}, {"\\-", "-"}};
    for (const char* page : {"docs/man/vessane-cli.1.in", "docs/man/fr/vessane-cli.1.in"}) {
        std::string text = Slurp(std::string(VESSANE_SOURCE_DIR "/") + page);
        for (const auto& [escape, letter] : kAccents) {
            for (std::size_t at; (at = text.find(escape)) != std::string::npos;) {
                text.replace(at, std::string(escape).size(), letter);
            }
        }
        const std::size_t begin = text.find(".\\\" The names the header resolver knows");
        const std::size_t end = text.find(".\\\" End of the names.");
        ASSERT_NE(begin, std::string::npos) << page;
        ASSERT_NE(end, std::string::npos) << page;
        std::istringstream lines(text.substr(begin, end - begin));
        std::array<std::string, kFormColumnCount> listed;
        int column = -1;
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with(".B ")) {
                column = ColumnOfName(line.substr(3)).column;
                ASSERT_GE(column, 0) << page << ": " << line;
            } else if (column >= 0 && !line.starts_with(".")) {
                listed[column] += " " + line;
            }
        }
        for (int c = 0; c < kFormColumnCount; ++c) {
            std::set<std::string> names;
            std::istringstream items(listed[c]);
            for (std::string item; std::getline(items, item, ',');) {
                names.insert(FoldColumnName(item));
            }
            const auto known = KnownNames(static_cast<FormColumn>(c));
            EXPECT_EQ(names, std::set<std::string>(known.begin(), known.end()))
                << page << ": " << kFormColumnNames[c];
        }
    }
}

}  // namespace
}  // namespace vessane
