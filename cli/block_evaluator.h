// Evaluates the rows of a block into its output text. One per thread: each holds the
// risk state its rows are computed in.
#pragma once

#include <string>
#include <string_view>

#include "risk_state.h"
#include "row_block.h"

namespace vessane::cli {

class BlockEvaluator {
public:
    void Evaluate(Block& block, const BatchLayout& layout);

private:
    // Takes the row's cells into fields; false, with reason_ written, when a selector or
    // flag cell cannot be taken.
    bool ReadRow(const Block& block, const BlockRow& row, const BatchLayout& layout,
                 FormFields& fields);
    void WriteResult(Block& block, const BlockRow& row, const BatchLayout& layout);

    RiskState state_{};
    std::string reason_;  // reused: no allocation per row
};

}  // namespace vessane::cli
