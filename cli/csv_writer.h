// Buffered CSV output: cells quoted only when they must be.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

namespace vessane::cli {

class CsvWriter {
public:
    CsvWriter(std::FILE* out, bool crlf);
    ~CsvWriter();
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    void Cell(std::string_view text);     // separated from the previous cell of the row
    void RawCell(std::string_view text);  // text known to need no quoting
    void EndRow();
    // Writes what is buffered; false once any write has failed.
    bool Flush();
    bool failed() const { return failed_; }

    // Room for a cell of at most maxLength characters formatted in place: write it from
    // the pointer returned, then hand the end to CommitCell.
    char* BeginCell(std::size_t maxLength);
    void CommitCell(const char* end) { size_ = static_cast<std::size_t>(end - buffer_.get()); }

private:
    void Separate() {
        if (rowStarted_) buffer_[size_++] = ',';
        rowStarted_ = true;
    }
    // Makes room for `count` more characters.
    void Reserve(std::size_t count);

    std::FILE* out_;
    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    const char* lineEnd_;
    std::size_t lineEndLength_;
    bool rowStarted_ = false;
    bool failed_ = false;
};

}  // namespace vessane::cli
