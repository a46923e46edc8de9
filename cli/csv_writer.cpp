#include "csv_writer.h"

namespace vessane::cli {
namespace {

constexpr std::size_t kFlushThreshold = 1 << 20;

// A cell needs quotes when it holds one of these. A plain loop: find_first_of with a
// set of four looks each character up with memchr.
bool NeedsQuotes(std::string_view text) {
    for (const char c : text) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
    }
    return false;
}

}  // namespace

CsvWriter::CsvWriter(std::FILE* out, bool crlf) : out_(out), lineEnd_(crlf ? "\r\n" : "\n") {
    buffer_.reserve(kFlushThreshold + 4096);
}

CsvWriter::~CsvWriter() {
    Flush();
}

void CsvWriter::Separate() {
    if (rowStarted_) buffer_ += ',';
    rowStarted_ = true;
}

void CsvWriter::Cell(std::string_view text) {
    Separate();
    if (!NeedsQuotes(text)) {
        buffer_.append(text);
        return;
    }
    buffer_ += '"';
    for (char c : text) {
        if (c == '"') buffer_ += '"';
        buffer_ += c;
    }
    buffer_ += '"';
}

void CsvWriter::RawCell(std::string_view text) {
    Separate();
    buffer_.append(text);
}

void CsvWriter::EndRow() {
    buffer_ += lineEnd_;
    rowStarted_ = false;
    if (buffer_.size() >= kFlushThreshold) Flush();
}

bool CsvWriter::Flush() {
    if (!failed_ && !buffer_.empty()) {
        failed_ = std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size() ||
                  std::fflush(out_) != 0;
    }
    buffer_.clear();
    return !failed_;
}

}  // namespace vessane::cli
