#include "csv_writer.h"

#include <array>
#include <cstring>

namespace vessane::cli {
namespace {

constexpr std::size_t kFlushThreshold = 1 << 20;
constexpr std::size_t kSlack = 64 << 10;  // a row's usual room beyond the threshold

// A cell needs quotes when it holds one of these. A table rather than find_first_of,
// which looks each character up in the set with memchr.
constexpr auto kNeedsQuotes = [] {
    std::array<bool, 256> special{};
    for (const unsigned char c : {',', '"', '\r', '\n'}) special[c] = true;
    return special;
}();

}  // namespace

CsvWriter::CsvWriter(std::FILE* out, bool crlf)
    : out_(out),
      buffer_(new char[kFlushThreshold + kSlack]),
      capacity_(kFlushThreshold + kSlack),
      lineEnd_(crlf ? "\r\n" : "\n"),
      lineEndLength_(crlf ? 2 : 1) {}

CsvWriter::~CsvWriter() {
    Flush();
}

void CsvWriter::Reserve(std::size_t count) {
    if (capacity_ - size_ >= count) return;
    // Only a cell larger than the slack gets here; the buffer grows to hold it.
    const std::size_t capacity = size_ + count + kSlack;
    std::unique_ptr<char[]> larger(new char[capacity]);
    std::memcpy(larger.get(), buffer_.get(), size_);
    buffer_ = std::move(larger);
    capacity_ = capacity;
}

void CsvWriter::Cell(std::string_view text) {
    // Quoting at most doubles the text; a separator and two quotes come on top.
    Reserve(2 * text.size() + 3);
    Separate();
    // Copy and look for a character that needs quotes in the same pass: cells are short,
    // a call to memcpy would cost more than the copy.
    char* const start = buffer_.get() + size_;
    char* p = start;
    for (const char c : text) {
        if (kNeedsQuotes[static_cast<unsigned char>(c)]) {
            p = nullptr;
            break;
        }
        *p++ = c;
    }
    if (p != nullptr) {
        CommitCell(p);
        return;
    }
    p = start;
    *p++ = '"';
    for (const char c : text) {
        if (c == '"') *p++ = '"';
        *p++ = c;
    }
    *p++ = '"';
    CommitCell(p);
}

void CsvWriter::RawCell(std::string_view text) {
    Reserve(text.size() + 1);
    Separate();
    if (!text.empty()) std::memcpy(buffer_.get() + size_, text.data(), text.size());
    size_ += text.size();
}

char* CsvWriter::BeginCell(std::size_t maxLength) {
    Reserve(maxLength + 1);
    Separate();
    return buffer_.get() + size_;
}

void CsvWriter::EndRow() {
    Reserve(lineEndLength_);
    std::memcpy(buffer_.get() + size_, lineEnd_, lineEndLength_);
    size_ += lineEndLength_;
    rowStarted_ = false;
    if (size_ >= kFlushThreshold) Flush();
}

bool CsvWriter::Flush() {
    if (!failed_ && size_ > 0) {
        failed_ = std::fwrite(buffer_.get(), 1, size_, out_) != size_ || std::fflush(out_) != 0;
    }
    size_ = 0;
    return !failed_;
}

}  // namespace vessane::cli
