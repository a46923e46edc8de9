// A streaming reader of CSV text (RFC 4180): quoted cells may hold commas, doubled
// quotes and line breaks; records end with LF or CRLF. Fed in blocks of any size, it
// hands each complete record to a callback, reusing its buffers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vessane::cli {

class CsvRecord {
public:
    std::size_t size() const { return ends_.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(data_).substr(begin, ends_[i] - begin);
    }
    // Line on which the record starts, counting from 1.
    std::size_t line() const { return line_; }
    // Whether the record ended with CRLF.
    bool crlf() const { return crlf_; }

private:
    friend class CsvReader;
    std::string data_;
    std::vector<std::size_t> ends_;
    std::size_t line_ = 1;
    bool crlf_ = false;
};

class CsvReader {
public:
    // Consumes a block; calls onRecord(const CsvRecord&) for every record completed.
    template <typename OnRecord>
    void Feed(std::string_view block, OnRecord&& onRecord);

    // End of input: completes a last record without a final line break. Returns false
    // if the input ended inside a quoted cell (that record is not handed over).
    template <typename OnRecord>
    bool Finish(OnRecord&& onRecord);

    // Line on which the record being read started.
    std::size_t recordLine() const { return record_.line_; }

private:
    enum class State { kRecordStart, kCell, kQuoted, kQuoteInQuoted, kCarriageReturn };

    void EndCell() { record_.ends_.push_back(record_.data_.size()); }
    template <typename OnRecord>
    void EndRecord(OnRecord& onRecord, bool crlf);

    CsvRecord record_;
    State state_ = State::kRecordStart;
    std::size_t line_ = 1;
    bool quoted_ = false;  // the record being read has a quoted cell
    bool bomChecked_ = false;
    std::string pendingBom_;
};

}  // namespace vessane::cli

#include "csv_reader_impl.h"
