// Which of a table's columns (a file's header, a data frame's names) hold the form's
// inputs, by the names people give them in French or English; what the form then lacks,
// and the French messages that say so. The batch, Python and R read their columns
// through it, so that a header means the same in all three.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "form_entries.h"
#include "form_fields.h"

namespace vessane {

using FieldSet = std::array<bool, kFormColumnCount>;

// A name as it is compared: lower case, without accents, without spaces of any kind
// (non-breaking and narrow ones included), without _ - . ' ? and a last ':', without
// anything in brackets. "Fumeur ?", "FUMEUR" and "fumeur\u00A0" fold alike.
std::string FoldColumnName(std::string_view name);

// The input a name stands for (folded or not), or -1; and whether that name is French.
struct NamedColumn {
    int column = -1;
    bool french = false;
};
NamedColumn ColumnOfName(std::string_view name);

// The names each input is known by, folded, in the table's order (for manuals and tests).
std::vector<std::string_view> KnownNames(FormColumn column);

// The inputs without which a row could only be computed from a value the table does not
// hold. The horizon (10 years) and LVH (non) may be absent, and are said to be.
inline constexpr FieldSet kRequiredColumns = {true, true,  true, true, true, true,
                                              true, false, true, true, false};
// SCORE2 reads all of them but the diastolic pressure.
inline constexpr FieldSet kScore2RequiredColumns = {true, true,  true, false, true, true,
                                                    true, false, true, true,  false};

// The SCORE2 region's column ("region", "région"), not a field of the form: Add returns
// this for it.
inline constexpr int kRegionColumn = kFormColumnCount;

// Fields that --defaults (or defaults=) names, from a list such as "diabète,fumeur" read
// with the same names as a header; an empty list stands for every field. Returns false
// with the unknown name in unknown.
bool ParseFieldList(std::string_view list, FieldSet& fields, std::string& unknown);

// What the header says beyond its names, once read.
struct HeaderNotice {
    std::string text;
    bool always = false;  // said even when notices are asked to be quiet
};
struct HeaderVerdict {
    std::string refusal;  // why nothing is computed, or empty
    std::vector<HeaderNotice> notices;
    CholesterolHeader cholesterol;  // the unit the total and HDL names give
};

// What a table's names hold, gathered name by name in the table's order.
class ColumnsFound {
public:
    // Reads the next name; returns the input it stands for, or -1 when it is not read
    // (unknown, or a later column of an input already found).
    int Add(std::string_view name);

    bool present(int column) const { return present_[column]; }
    // The table's own spelling of an input's column ("Fumeur"), or its English name.
    std::string_view NameOf(int column) const;
    // More French names than English ones: the added columns are named in French.
    bool french() const { return french_ > english_; }
    std::size_t unreadCount() const { return unreadCount_; }

    // The names not read, quoted: « Age_patient », « Tension » et 3 autres.
    std::string UnreadList() const;

    bool regionPresent() const { return regionPresent_; }

    // The verdict on the header: supplied are the inputs given otherwise (--unit, a
    // keyword column), defaults those that may take the default form's value, required
    // those every model asked for reads.
    HeaderVerdict Conclude(const FieldSet& supplied, const FieldSet& defaults,
                           const FieldSet& required = kRequiredColumns) const;
    // The fields in needed that are absent, supplied by nothing and not defaulted, in
    // French ("pression diastolique (diastolic)"); empty if none.
    std::string Absent(const FieldSet& needed, const FieldSet& supplied,
                       const FieldSet& defaults) const;

private:
    static constexpr std::size_t kUnreadNamed = 16;
    std::string MissingRequired(const FieldSet& supplied, const FieldSet& defaults,
                                const FieldSet& required) const;
    bool regionPresent_ = false;

    FieldSet present_{};
    std::array<std::string, kFormColumnCount> names_;
    std::array<int, kFormColumnCount> unitOfName_{};  // kUnitInName..., for total and HDL
    std::vector<std::string> unreadNames_;            // the first few
    std::size_t unreadCount_ = 0;
    int french_ = 0, english_ = 0;
};

}  // namespace vessane
