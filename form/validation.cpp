#include "validation.h"

#include "accepted_ranges.h"

namespace vessane {

ValidationCheck ValidateInputs(const RiskState& s) {
    if (!(s.sex == 0 || s.sex == 1)) return ValidationCheck::kSex;
    // Written so that NaN fails: every comparison with NaN is false.
    for (const AcceptedRange& range : kAcceptedRanges) {
        const double value = s.*range.value;
        if (!(value >= range.low && value <= range.high)) return range.check;
    }
    for (const AcceptedMargin& rule : kAcceptedMargins) {
        if (!(s.*rule.larger - s.*rule.smaller >= rule.margin)) return rule.check;
    }
    return ValidationCheck::kNone;
}

const char* DescribeFailure(ValidationCheck check) {
    if (check == ValidationCheck::kSex) return kNoSexReason;
    for (const AcceptedRange& range : kAcceptedRanges) {
        if (range.check == check) return range.reason;
    }
    for (const AcceptedMargin& rule : kAcceptedMargins) {
        if (rule.check == check) return rule.reason;
    }
    return "";
}

const char* DescribeMissing(ValidationCheck check) {
    for (const AcceptedRange& range : kAcceptedRanges) {
        if (range.check == check) return range.missing;
    }
    return DescribeFailure(check);
}

int ControlOfCheck(ValidationCheck check) {
    for (const AcceptedRange& range : kAcceptedRanges) {
        if (range.check == check) return range.control;
    }
    return 0;
}

}  // namespace vessane
