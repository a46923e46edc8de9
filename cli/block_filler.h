// The CSV reader's sink for a batch: writes each cell back as a CSV writer would
// (quoted only when it holds a quote, a comma, CR or LF) into blocks of rows, keeps of
// each form cell what the form reads, and hands full blocks on. Memory is bounded
// whatever the file: a row longer than a block goes on in the next one, and a cell
// that grows past a block while it is not yet known whether it needs quotes waits in a
// scratch file.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "header_resolver.h"
#include "row_block.h"
#include "spill_file.h"

namespace vessane::cli {

// Takes full blocks and gives empty ones.
class BlockQueue {
public:
    virtual ~BlockQueue() = default;
    // Hands on full (null at the start), returns an empty block.
    virtual Block* Exchange(Block* full) = 0;
    // Hands on the last block.
    virtual void Close(Block* last) = 0;
};

// What the header must hold, and where its notices go: the columns not read and the
// fields that take a default unless quiet, the absent optional fields always.
struct HeaderCheck {
    std::FILE* err = nullptr;
    const char* inputName = "";
    bool quiet = false;
    // The required fields whose absent column takes the default form's value
    // (--defaults); another one absent refuses the header.
    FieldSet defaults{};
};

class BlockFiller {
public:
    BlockFiller(BlockQueue& queue, BatchLayout& layout, const HeaderCheck& check = {});

    // The reader's calls (see csv_reader.h).
    char* Room(std::size_t count) {
        if (Block::kEchoCapacity - size_ < count) MakeRoom(count);
        return echo_ + size_;
    }
    void Commit(char* end) {
        char* const begin = echo_ + size_;
        size_ = static_cast<std::size_t>(end - echo_);
        if (slow_) Keep(begin, end);
    }
    void Text(const char* begin, const char* end);
    void EndCell() {
        // The usual cell: plain, in the header's width, held whole in the echo.
        // The flags tested together: one branch rather than four.
        if ((header_ | slow_ | quoted_ | spilled_) || column_ >= formColumnOf_.size() ||
            size_ == Block::kEchoCapacity) {
            return EndCellSlowly();
        }
        if (const int form = formColumnOf_[column_]; form >= 0) {
            FieldRef& field = row_.fields[form];
            field.offset = static_cast<std::uint32_t>(cellStart_);
            field.length = static_cast<std::uint8_t>(std::min(size_ - cellStart_, kFieldKept));
            field.inArena = false;
            filed_ |= 1u << form;
        } else {
            row_.otherText |= size_ != cellStart_;
        }
        echo_[size_++] = layout_.delimiter;
        NextCell();
    }
    void EndRecord(bool crlf, bool blank);

    // Hands on the last block: the rows read so far. Drops a row left open.
    void Finish();
    // Drops the row being read, so that the rows handed on end at a row boundary; false
    // while part of it has already been handed on.
    bool DropOpenRow();
    // A scratch file could not be written: the output would be wrong.
    bool failed() const { return failed_; }
    // Why the header cannot be used (a required column absent, an option for a column
    // the file has), or empty. Nothing is to be written then.
    const std::string& refusal() const { return refusal_; }

private:
    static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);

    void MakeRoom(std::size_t count);
    void EndCellSlowly();
    // Files the cell that ends here (its kept text at kept, when not slow) and adds the
    // comma that follows it.
    void FinishCell(const char* kept);
    void NextCell() {
        ++column_;
        cellStart_ = size_;
        quoted_ = slow_ = decided_ = false;
        keptLength_ = 0;
    }
    int FormColumnOf(std::size_t column) const;
    void ReadHeaderCell(std::string_view name);
    void EndHeader();

    void Append(const char* text, std::size_t count);
    void AppendQuoted(const char* text, std::size_t count);
    void BecomeQuoted();
    // From now on the cell's text is kept aside as it comes.
    void BeginKeeping();
    void Keep(const char* begin, const char* end) {
        std::size_t count = static_cast<std::size_t>(end - begin);
        if (count > kFieldKept - keptLength_) count = kFieldKept - keptLength_;
        std::memcpy(kept_ + keptLength_, begin, count);
        keptLength_ += count;
    }
    void Spill();
    // Puts the spilled text back, behind an opening quote if quote.
    void Unspill(bool quote);
    // Hands on the block with its echo up to cut; what follows goes to the next block.
    void Cut(std::size_t cut);

    BlockQueue& queue_;
    BatchLayout& layout_;
    HeaderCheck check_;
    ColumnsFound found_;
    std::string refusal_;
    Block* block_ = nullptr;
    char* echo_ = nullptr;
    std::size_t size_ = 0;

    // The header, then the rows.
    bool header_ = true;
    std::size_t width_ = static_cast<std::size_t>(-1);
    std::array<std::size_t, kFormColumnCount + 1> columnOf_{};  // and the region's
    std::vector<signed char> formColumnOf_;  // for the first columns of the header

    // The row being read.
    BlockRow row_;
    unsigned filed_ = 0;        // the form columns of row_ filed so far, one bit each
    std::size_t rowStart_ = 0;  // in the echo, or kNoRow if it began in an earlier block
    std::size_t column_ = 0;

    // The cell being read.
    std::size_t cellStart_ = 0;
    bool quoted_ = false;   // written with quotes
    bool decided_ = false;  // known to be quoted or to be complete: may be handed on
    bool slow_ = false;     // its kept text is in kept_, not in the echo
    char kept_[kFieldKept];
    std::size_t keptLength_ = 0;
    SpillFile spill_;
    bool spilled_ = false;
    std::vector<char> carry_;  // what goes on from one block to the next
    bool failed_ = false;
};

}  // namespace vessane::cli
