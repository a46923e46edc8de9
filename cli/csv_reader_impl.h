// Template definitions of CsvReader: kept inline so that the per-byte loop is compiled
// together with the caller's handler.
#pragma once

#include <array>

namespace vessane::cli {

// The characters that end a run of plain cell text.
inline constexpr auto kCsvStop = [] {
    std::array<bool, 256> stop{};
    for (const unsigned char c : {',', '\n', '\r', '"'}) stop[c] = true;
    return stop;
}();

template <typename OnRecord>
void CsvReader::EndRecord(OnRecord& onRecord, bool crlf) {
    EndCell();
    record_.crlf_ = crlf;
    // A line holding nothing at all is not a record; a line holding "" is one empty cell
    // (how writers spell an empty value in a one-column file), so it is kept.
    const bool blank = record_.ends_.size() == 1 && record_.ends_[0] == 0 && !quoted_;
    record_.plain_ = record_.plain_ && !quoted_;
    quoted_ = false;
    if (!blank) onRecord(static_cast<const CsvRecord&>(record_));
    record_.data_.clear();
    record_.ends_.clear();
    record_.plain_ = true;
    state_ = State::kRecordStart;
}

template <typename OnRecord>
void CsvReader::Feed(std::string_view block, OnRecord&& onRecord) {
    if (!bomChecked_) {
        // A UTF-8 byte order mark may arrive split across blocks.
        static constexpr std::string_view kBom = "\xEF\xBB\xBF";
        while (!block.empty() && pendingBom_.size() < kBom.size() &&
               block[0] == kBom[pendingBom_.size()]) {
            pendingBom_ += block[0];
            block.remove_prefix(1);
        }
        if (pendingBom_.size() == kBom.size()) {
            bomChecked_ = true;
        } else if (!block.empty()) {
            bomChecked_ = true;
            const std::string partial = std::move(pendingBom_);
            if (!partial.empty()) Feed(partial, onRecord);
        } else {
            return;
        }
    }

    const char* p = block.data();
    const char* const end = p + block.size();
    CsvText& data = record_.data_;
    while (p < end) {
        switch (state_) {
            case State::kRecordStart:
                record_.line_ = line_;
                state_ = State::kCell;
                [[fallthrough]];
            case State::kCell: {
                // Copy each run of plain characters in one go; stay here across commas.
                char c = '\0';
                for (;;) {
                    char* out = data.Room(static_cast<std::size_t>(end - p));
                    while (p < end && !kCsvStop[static_cast<unsigned char>(*p)]) *out++ = *p++;
                    data.Commit(out);
                    if (p == end) break;
                    c = *p++;
                    if (c != ',') break;
                    EndCell();
                }
                if (c == ',' || c == '\0') break;  // the block ended in the cell
                if (c == '\n') {
                    ++line_;
                    EndRecord(onRecord, false);
                } else if (c == '\r') {
                    state_ = State::kCarriageReturn;
                } else if (data.size() == CellStart()) {
                    state_ = State::kQuoted;  // a quote opening a cell
                    quoted_ = true;
                } else {
                    data.push_back(c);  // a stray quote inside a plain cell is kept as is
                    record_.plain_ = false;
                }
                break;
            }
            case State::kQuoted: {
                const char* q = p;
                while (q < end && *q != '"') {
                    if (*q == '\n') ++line_;
                    ++q;
                }
                data.append(p, q);
                p = q;
                if (p < end) {
                    ++p;
                    state_ = State::kQuoteInQuoted;
                }
                break;
            }
            case State::kQuoteInQuoted:
                if (*p == '"') {
                    data.push_back('"');
                    ++p;
                    state_ = State::kQuoted;
                } else {
                    state_ = State::kCell;  // the closing quote; what follows stays in the cell
                }
                break;
            case State::kCarriageReturn:
                if (*p == '\n') {
                    ++p;
                    ++line_;
                    EndRecord(onRecord, true);
                } else {
                    data.push_back('\r');  // a lone CR is data
                    record_.plain_ = false;
                    state_ = State::kCell;
                }
                break;
        }
    }
}

template <typename OnRecord>
bool CsvReader::Finish(OnRecord&& onRecord) {
    if (!bomChecked_ && !pendingBom_.empty()) {
        bomChecked_ = true;
        const std::string partial = std::move(pendingBom_);
        Feed(partial, onRecord);
    }
    switch (state_) {
        case State::kRecordStart:
            return true;
        case State::kQuoted:
            return false;
        case State::kCarriageReturn:  // the last line break lost its LF
            EndRecord(onRecord, true);
            return true;
        case State::kCell:
        case State::kQuoteInQuoted:
            EndRecord(onRecord, false);
            return true;
    }
    return true;
}

}  // namespace vessane::cli
