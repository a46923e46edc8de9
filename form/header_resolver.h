// Which of a table's columns (a file's header, a data frame's names) hold the form's
// inputs, by their English or French names; what the form then lacks, and the one French
// message that says so. The batch, Python and R read their columns through it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "form_fields.h"

namespace vessane {

// The input a column name stands for, or -1: the English names of kFormColumnNames, or
// their French names ("Sexe", "Âge", "PAS", "TAS", "Cholestérol HDL", "Unité", "Horizon",
// "Fumeur", "Diabète", "HVG"...), in any case, with or without accents, spaces,
// underscores or a unit in brackets ("PAS (mm Hg)").
int FormColumnOfName(std::string_view name);
// Whether a name read as a column is one of the French spellings only.
bool IsFrenchColumnName(std::string_view name);

// The form's inputs that a table must hold: without one of them a row cannot be
// computed but from a default the table does not hold.
inline constexpr std::array<bool, kFormColumnCount> kRequiredColumns = {
    true, true, true, true, true, true, true, false, false, false, false};

// The French name of an input, for messages ("âge", "cholestérol HDL").
const char* FrenchColumnLabel(FormColumn column);

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
    // Empty when every required input is present or supplied; otherwise the one French
    // message naming the absent inputs and the columns that were not read.
    std::string MissingRequired(const std::array<bool, kFormColumnCount>& supplied = {}) const;
    // The inputs absent and not supplied, with the window's default they take:
    // "fumeur = 0, years = 10"; empty if none.
    std::string DefaultsTaken(const std::array<bool, kFormColumnCount>& supplied = {}) const;

private:
    static constexpr std::size_t kUnreadNamed = 16;
    std::array<bool, kFormColumnCount> present_{};
    std::array<std::string, kFormColumnCount> names_;
    std::vector<std::string> unreadNames_;  // the first few
    std::size_t unreadCount_ = 0;
    int french_ = 0, english_ = 0;
};

}  // namespace vessane
