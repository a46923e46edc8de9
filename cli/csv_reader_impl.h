// Template definitions of CsvReader: kept inline so that the per-byte loop is compiled
// together with the sink.
#pragma once

#include <cstring>

namespace vessane::cli {

// Copies plain cell text from p to out up to the first stop character or end, and
// advances both. While eight bytes remain they are copied in one move (out has room for
// everything up to end) and the bound is checked once for the eight.
inline void CopyPlainText(const char*& p, const char* end, char*& out,
                          const std::array<bool, 256>& stop) {
    const auto plain = [&stop](char c) { return !stop[static_cast<unsigned char>(c)]; };
    while (end - p >= 8) {
        std::memcpy(out, p, 8);
        int count = 0;
        while (count < 8 && plain(p[count])) ++count;
        p += count;
        out += count;
        if (count < 8) return;
    }
    while (p < end && plain(*p)) *out++ = *p++;
}

template <typename Sink>
void CsvReader<Sink>::Feed(std::string_view block) {
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
            if (!partial.empty()) Feed(partial);
        } else {
            return;
        }
    }

    const char* p = block.data();
    const char* const end = p + block.size();
    while (p < end) {
        switch (state_) {
            case State::kRecordStart:
                recordLine_ = line_;
                state_ = State::kCell;
                cellEmpty_ = true;
                [[fallthrough]];
            case State::kCell: {
                // Copy each run of plain characters in one go; stay here across commas.
                char c = '\0';
                for (;;) {
                    char* const room = sink_.Room(static_cast<std::size_t>(end - p));
                    char* out = room;
                    CopyPlainText(p, end, out, stop_);
                    sink_.Commit(out);
                    if (out != room) blank_ = cellEmpty_ = false;
                    if (p == end) break;
                    c = *p++;
                    if (c != delimiter_) break;
                    blank_ = false;
                    cellEmpty_ = true;
                    sink_.EndCell();
                }
                if (c == delimiter_ || c == '\0') break;  // the block ended in the cell
                if (c == '\n') {
                    ++line_;
                    EndRecord(false);
                } else if (c == '\r') {
                    state_ = State::kCarriageReturn;
                } else if (cellEmpty_) {
                    state_ = State::kQuoted;  // a quote opening a cell
                    blank_ = cellEmpty_ = false;
                } else {
                    Text(p - 1, p);  // a stray quote inside a plain cell is kept as is
                }
                break;
            }
            case State::kQuoted: {
                const char* q = p;
                while (q < end && *q != '"') {
                    if (*q == '\n') ++line_;
                    ++q;
                }
                if (q != p) Text(p, q);
                p = q;
                if (p < end) {
                    ++p;
                    state_ = State::kQuoteInQuoted;
                }
                break;
            }
            case State::kQuoteInQuoted:
                if (*p == '"') {
                    Text(p, p + 1);
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
                    EndRecord(true);
                } else {
                    static constexpr char kCr = '\r';
                    Text(&kCr, &kCr + 1);  // a lone CR is data
                    cellEmpty_ = false;
                    state_ = State::kCell;
                }
                break;
        }
    }
}

template <typename Sink>
bool CsvReader<Sink>::Finish() {
    if (!bomChecked_ && !pendingBom_.empty()) {
        bomChecked_ = true;
        const std::string partial = std::move(pendingBom_);
        Feed(partial);
    }
    switch (state_) {
        case State::kRecordStart:
            return true;
        case State::kQuoted:
            return false;
        case State::kCarriageReturn:  // the last line break lost its LF
            EndRecord(true);
            return true;
        case State::kCell:
        case State::kQuoteInQuoted:
            EndRecord(false);
            return true;
    }
    return true;
}

}  // namespace vessane::cli
