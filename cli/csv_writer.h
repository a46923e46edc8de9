// Buffered CSV output: cells quoted only when they must be.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vessane::cli {

class CsvWriter {
public:
    CsvWriter(std::FILE* out, bool crlf);
    ~CsvWriter();

    void Cell(std::string_view text);     // separated from the previous cell of the row
    void RawCell(std::string_view text);  // text known to need no quoting
    void EndRow();
    // Writes what is buffered; false once any write has failed.
    bool Flush();
    bool failed() const { return failed_; }
    // Direct access to the row being built, for numbers formatted in place.
    std::string& buffer() { return buffer_; }
    void Separate();

private:
    std::FILE* out_;
    std::string buffer_;
    const char* lineEnd_;
    bool rowStarted_ = false;
    bool failed_ = false;
};

}  // namespace vessane::cli
