// The shared test cases (tests/data/shared_cases.csv): forms and the result the window
// shows, read by the tests of every front end.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vessane::testing {

using CsvRow = std::vector<std::string>;

// The rows of a small CSV text: quoted cells may hold the delimiter and doubled quotes.
inline std::vector<CsvRow> ParseCsv(const std::string& text, char delimiter = ',') {
    std::vector<CsvRow> rows;
    CsvRow row;
    std::string cell;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == delimiter) {
            row.push_back(cell);
            cell.clear();
        } else if (c == '\n') {
            row.push_back(cell);
            rows.push_back(row);
            row.clear();
            cell.clear();
        } else if (c != '\r') {
            cell += c;
        }
    }
    return rows;
}

struct SharedCase {
    std::string name;
    CsvRow fields;  // in the batch's column order: sex, age, ... lvh
    std::string result;
};

inline std::vector<SharedCase> SharedCases() {
    std::ifstream file(VESSANE_SHARED_CASES, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    std::vector<SharedCase> cases;
    const std::vector<CsvRow> rows = ParseCsv(text);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        cases.push_back({row.front(), CsvRow(row.begin() + 1, row.end() - 1), row.back()});
    }
    return cases;
}

}  // namespace vessane::testing
