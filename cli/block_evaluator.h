// Evaluates the rows of a block into its output text. One per thread: each holds the
// risk state its rows are computed in.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "form_entries.h"
#include "risk_state.h"
#include "row_block.h"

namespace vessane::cli {

class BlockEvaluator {
public:
    void Evaluate(Block& block, const BatchLayout& layout);

private:
    // The row's cells as the form's entries: the columns the header names, as texts
    // (UTF-8), and the values given for columns the file lacks.
    void ReadRow(const Block& block, const BlockRow& row, const BatchLayout& layout,
                 FormEntries& entries);
    void WriteResult(Block& block, const BlockRow& row, const BatchLayout& layout);
    // SCORE2's five cells at out, from the row's values or the reason that left none
    // (reason_); returns the end.
    char* WriteScore2(char* out, const BlockRow& row, const BatchLayout& layout,
                      const EntriesOutcome& outcome, const FormValues& values, const Block& block);
    // A text of the batch's own (UTF-8) in the file's encoding.
    std::string_view Encoded(std::string_view text, const BatchLayout& layout);

    RiskState state_{};
    // The fixed SCORE2 reasons written so far, and whether each was written without
    // quotes: rows alternate between a few of them.
    struct KnownReason {
        const char* text = nullptr;
        bool plain = false;
    };
    std::array<KnownReason, 8> knownReasons_{};
    std::string reason_;  // reused: no allocation per row
    std::string encoded_;
    std::array<std::string, kFormColumnCount> decoded_;  // cells of a Windows-1252 file
};

}  // namespace vessane::cli
