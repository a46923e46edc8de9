// A streaming reader of CSV text (RFC 4180): quoted cells may hold commas, doubled
// quotes and line breaks; records end with LF or CRLF. Fed in blocks of any size, it
// hands each complete record to a callback, reusing its buffers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vessane::cli {

// The text of a record's cells, end to end. Like a string, except that a run of cell
// text is copied in place as it is scanned: cells are short, and a call to append
// each would cost more than the copy.
class CsvText {
public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const char* data() const { return data_.get(); }
    void clear() { size_ = 0; }
    void push_back(char c) { *Room(1) = c, ++size_; }
    void append(const char* begin, const char* end) {
        const auto count = static_cast<std::size_t>(end - begin);
        std::memcpy(Room(count), begin, count);
        size_ += count;
    }
    // Room for count more characters at the end; Commit then marks where they end.
    char* Room(std::size_t count) {
        if (capacity_ - size_ < count) Grow(count);
        return data_.get() + size_;
    }
    void Commit(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }

private:
    void Grow(std::size_t count) {
        const std::size_t capacity = std::max({2 * capacity_, size_ + count, std::size_t{256}});
        std::unique_ptr<char[]> larger(new char[capacity]);
        if (size_ > 0) std::memcpy(larger.get(), data_.get(), size_);
        data_ = std::move(larger);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

class CsvRecord {
public:
    std::size_t size() const { return ends_.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1] + 1;
        return {data_.data() + begin, ends_[i] - begin};
    }
    // Every cell, separated by commas.
    std::string_view text() const { return {data_.data(), ends_.empty() ? 0 : ends_.back()}; }
    // Whether no cell holds a quote, a comma, CR or LF: text() is then the record as it
    // was read, and as a writer would write it again.
    bool plain() const { return plain_; }
    // Line on which the record starts, counting from 1.
    std::size_t line() const { return line_; }
    // Whether the record ended with CRLF.
    bool crlf() const { return crlf_; }

private:
    friend class CsvReader;
    CsvText data_;                   // the cells, each followed by a comma
    std::vector<std::size_t> ends_;  // where each cell ends in data_
    std::size_t line_ = 1;
    bool crlf_ = false;
    bool plain_ = true;
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

    void EndCell() {
        record_.ends_.push_back(record_.data_.size());
        record_.data_.push_back(',');
    }
    // Where the cell being read started in the record's text.
    std::size_t CellStart() const { return record_.ends_.empty() ? 0 : record_.ends_.back() + 1; }
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
