#include "block_filler.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "csv_reader.h"

namespace vessane::cli {
namespace {

constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);
// Header columns whose form column is looked up in a table; later ones are searched.
constexpr std::size_t kTabledColumns = 1024;
constexpr std::size_t kChunk = 4096;  // text copied at a time when it may need escaping

}  // namespace

BlockFiller::BlockFiller(BlockQueue& queue, BatchLayout& layout, const HeaderCheck& check)
    : queue_(queue),
      layout_(layout),
      check_(check),
      block_(queue.Exchange(nullptr)),
      echo_(block_->echo.get()) {
    columnOf_.fill(kNoColumn);
}

int BlockFiller::FormColumnOf(std::size_t column) const {
    if (column < formColumnOf_.size()) return formColumnOf_[column];
    for (int c = 0; c <= kRegionColumn; ++c) {
        if (columnOf_[c] == column) return c;
    }
    return -1;
}

void BlockFiller::ReadHeaderCell(std::string_view name) {
    std::string decoded;
    if (layout_.encoding == TextEncoding::kWindows1252 && !IsAscii(name)) {
        AppendWindows1252AsUtf8(decoded, name);
        name = decoded;
    }
    const int form = found_.Add(name);
    if (form >= 0) columnOf_[form] = column_;
    if (column_ < kTabledColumns) formColumnOf_.push_back(static_cast<signed char>(form));
}

void BlockFiller::EndHeader() {
    for (int c = 0; c < kFormColumnCount; ++c) {
        layout_.present[c] = found_.present(c);
        layout_.nameTexts[c] = found_.NameOf(c);
        layout_.names[c] = layout_.nameTexts[c];
        if (layout_.isFixed[c] && found_.present(c)) {
            refusal_ =
                "--" + std::string(kFormColumnNames[c]) + " est donn\xC3\xA9, mais le fichier a " +
                "d\xC3\xA9j\xC3\xA0 la colonne \xC2\xAB " + layout_.nameTexts[c] + " \xC2\xBB";
        }
    }
    layout_.french = found_.french();
    layout_.regionPresent = found_.regionPresent();
    // The columns every model asked for reads; one only the 1991 equations read makes
    // their columns say why on every row, while SCORE2 is computed.
    const FieldSet& required = layout_.score2 ? kScore2RequiredColumns : kRequiredColumns;
    HeaderVerdict verdict = found_.Conclude(layout_.isFixed, check_.defaults, required);
    if (layout_.score2) {
        const std::string absent =
            found_.Absent(kRequiredColumns, layout_.isFixed, check_.defaults);
        if (!absent.empty()) layout_.framinghamAbsent = "colonne absente : " + absent;
    }
    layout_.cholesterol = verdict.cholesterol;
    const int headerUnit = verdict.cholesterol.unit;
    if (refusal_.empty() && headerUnit >= 0 && layout_.isFixed[kColumnUnit] &&
        ParseUnitSelector(layout_.fixed[kColumnUnit]) != headerUnit) {
        refusal_ = "--unit " + layout_.fixed[kColumnUnit] +
                   " contredit l'en-t\xC3\xAAte \xC2\xAB " + verdict.cholesterol.source +
                   " \xC2\xBB : aucune ligne n'est calcul\xC3\xA9"
                   "e";
    }
    if (refusal_.empty()) refusal_ = verdict.refusal;
    if (!refusal_.empty() || check_.err == nullptr) return;
    for (const vessane::HeaderNotice& notice : verdict.notices) {
        if (check_.quiet && !notice.always) continue;
        std::fprintf(check_.err, "vessane-cli: %s : %s\n", check_.inputName, notice.text.c_str());
    }
}

void BlockFiller::FinishCell(const char* kept) {
    const std::size_t length = slow_ ? keptLength_ : std::min(size_ - cellStart_, kFieldKept);
    if (header_) {
        ReadHeaderCell({kept, length});
    } else if (const int form = FormColumnOf(column_); form < 0) {
        row_.otherText |= length > 0 || quoted_;
    } else {
        FieldRef& field = row_.fields[form];
        field.length = static_cast<std::uint8_t>(length);
        field.inArena = slow_;
        if (slow_) {
            field.offset = static_cast<std::uint32_t>(block_->arena.size());
            block_->arena.insert(block_->arena.end(), kept, kept + length);
        } else {
            field.offset = static_cast<std::uint32_t>(cellStart_);
        }
        filed_ |= 1u << form;
    }
    decided_ = true;
    if (size_ == Block::kEchoCapacity) MakeRoom(1);
    echo_[size_++] = layout_.delimiter;
    NextCell();
}

void BlockFiller::EndCellSlowly() {
    if (column_ >= width_) {  // beyond the header's width: counted, not written
        size_ = cellStart_;
        NextCell();
        return;
    }
    if (spilled_) Unspill(false);
    if (quoted_) Append("\"", 1);
    FinishCell(slow_ ? kept_ : echo_ + cellStart_);
}

void BlockFiller::EndRecord(bool crlf, bool blank) {
    if (blank && header_) return;  // blank lines before the header are no rows
    if (blank) {
        // Kept as a line, so that results written back stay beside their rows.
        row_.blank = true;
        row_.echoEnd = static_cast<std::uint32_t>(size_);
        block_->rows.push_back(row_);
        row_ = BlockRow{};
        cellStart_ = rowStart_ = size_;
        if (block_->rows.size() >= Block::kMaxRows) Cut(size_);
        return;
    }
    EndCell();
    const std::size_t count = column_;
    if (header_) {
        header_ = false;
        width_ = count;
        layout_.width = count;
        layout_.crlf = crlf;
        row_.header = true;
        EndHeader();
    } else if (count < width_) {
        decided_ = true;  // the padding may be handed on as it is written
        for (std::size_t i = count; i < width_; ++i) {
            if (size_ == Block::kEchoCapacity) MakeRoom(1);
            echo_[size_++] = layout_.delimiter;
        }
    }
    row_.echoEnd = static_cast<std::uint32_t>(size_);
    row_.cellCount = count;
    block_->rows.push_back(row_);
    row_ = BlockRow{};
    filed_ = 0;
    column_ = 0;
    cellStart_ = rowStart_ = size_;
    decided_ = false;
    if (block_->rows.size() >= Block::kMaxRows || size_ >= Block::kEchoTarget) Cut(size_);
}

void BlockFiller::Text(const char* begin, const char* end) {
    if (column_ >= width_) return;
    if (!slow_) BeginKeeping();
    Keep(begin, end);
    if (!quoted_) {
        const char* special = begin;
        while (special < end && !layout_.stop[static_cast<unsigned char>(*special)]) ++special;
        Append(begin, static_cast<std::size_t>(special - begin));
        if (special == end) return;
        BecomeQuoted();
        begin = special;
    }
    AppendQuoted(begin, static_cast<std::size_t>(end - begin));
}

void BlockFiller::BeginKeeping() {
    slow_ = true;
    keptLength_ = 0;
    Keep(echo_ + cellStart_, echo_ + size_);
}

void BlockFiller::Append(const char* text, std::size_t count) {
    while (count > 0) {
        if (size_ == Block::kEchoCapacity) MakeRoom(std::min(count, kChunk));
        const std::size_t n = std::min(count, Block::kEchoCapacity - size_);
        std::memcpy(echo_ + size_, text, n);
        size_ += n;
        text += n;
        count -= n;
    }
}

void BlockFiller::AppendQuoted(const char* text, std::size_t count) {
    while (count > 0) {
        const std::size_t n = std::min(count, kChunk);
        if (Block::kEchoCapacity - size_ < 2 * n) MakeRoom(2 * n);
        char* out = echo_ + size_;
        for (std::size_t i = 0; i < n; ++i) {
            if (text[i] == '"') *out++ = '"';
            *out++ = text[i];
        }
        size_ = static_cast<std::size_t>(out - echo_);
        text += n;
        count -= n;
    }
}

void BlockFiller::BecomeQuoted() {
    if (!spilled_ && size_ == Block::kEchoCapacity) MakeRoom(1);
    quoted_ = true;
    if (spilled_) {
        Unspill(true);
        return;
    }
    std::memmove(echo_ + cellStart_ + 1, echo_ + cellStart_, size_ - cellStart_);
    echo_[cellStart_] = '"';
    ++size_;
    decided_ = true;
}

void BlockFiller::Spill() {
    if (!slow_) BeginKeeping();
    if (!spill_.Append(echo_ + cellStart_, size_ - cellStart_)) failed_ = true;
    spilled_ = true;
    size_ = cellStart_;
}

void BlockFiller::Unspill(bool quote) {
    // What the echo still holds came after what was spilled: all goes back in order.
    if (!spill_.Append(echo_ + cellStart_, size_ - cellStart_) || !spill_.Rewind()) failed_ = true;
    size_ = cellStart_;
    spilled_ = false;
    decided_ = true;
    if (quote) Append("\"", 1);
    const std::unique_ptr<char[]> buffer(new char[kChunk * 16]);
    for (std::size_t left = failed_ ? 0 : spill_.size(); left > 0;) {
        const std::size_t read = spill_.Read(buffer.get(), std::min(left, kChunk * 16));
        if (read == 0) {
            failed_ = true;
            break;
        }
        Append(buffer.get(), read);  // no quote in it: it would have decided the cell
        left -= read;
    }
    spill_.Clear();
}

void BlockFiller::MakeRoom(std::size_t count) {
    const auto roomy = [&] { return Block::kEchoCapacity - size_ >= count; };
    if (column_ >= width_) {  // a cell beyond the header's width is not kept
        size_ = cellStart_;
        if (roomy()) return;
    }
    const std::size_t cut = decided_ ? size_ : cellStart_;
    if (cut > 0) {
        Cut(cut);
        if (roomy()) return;
    }
    Spill();  // a cell not yet known to need quotes fills the block alone
}

void BlockFiller::Cut(std::size_t cut) {
    // The echo after the cut and the filed cells of the row being read go on in the next
    // block: the rows before the cut are handed on.
    carry_.assign(echo_ + cut, echo_ + size_);
    const std::size_t carried = carry_.size();
    for (int c = 0; c <= kRegionColumn; ++c) {
        if ((filed_ >> c & 1) == 0) continue;
        FieldRef& field = row_.fields[c];
        const char* text = (field.inArena ? block_->arena.data() : echo_) + field.offset;
        field.offset = static_cast<std::uint32_t>(carry_.size() - carried);
        field.inArena = true;
        carry_.insert(carry_.end(), text, text + field.length);
    }
    block_->echoSize = cut;
    block_ = queue_.Exchange(block_);
    echo_ = block_->echo.get();
    if (carried > 0) std::memcpy(echo_, carry_.data(), carried);
    block_->arena.assign(carry_.begin() + static_cast<std::ptrdiff_t>(carried), carry_.end());
    size_ = carried;
    cellStart_ = cellStart_ >= cut ? cellStart_ - cut : 0;
    rowStart_ = rowStart_ != kNoRow && rowStart_ >= cut ? rowStart_ - cut : kNoRow;
}

bool BlockFiller::DropOpenRow() {
    if (rowStart_ == kNoRow) return false;
    size_ = cellStart_ = rowStart_;
    row_ = BlockRow{};
    filed_ = 0;
    column_ = 0;
    quoted_ = slow_ = decided_ = spilled_ = false;
    keptLength_ = 0;
    spill_.Clear();
    return true;
}

void BlockFiller::Finish() {
    // A row left open when its start was handed on: nothing more of it is written.
    if (!DropOpenRow()) size_ = 0;
    block_->echoSize = size_;
    queue_.Close(block_);
    block_ = nullptr;
}

}  // namespace vessane::cli
