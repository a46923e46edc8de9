#include "batch.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control_ids.h"
#include "csv_reader.h"
#include "csv_writer.h"
#include "form_input.h"
#include "risk_state.h"
#include "validation.h"

namespace vessane::cli {
namespace {

using Column = FormColumn;
constexpr int kColumnCount = kFormColumnCount;
constexpr const auto& kColumnNames = kFormColumnNames;
constexpr const char* kAddedColumns[] = {"result", "bar", "p_sys", "p_dia", "error"};
constexpr std::size_t kBlockSize = 1 << 20;

bool SameName(std::string_view cell, std::string_view name) {
    if (cell.size() != name.size()) return false;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const char c = cell[i] >= 'A' && cell[i] <= 'Z' ? char(cell[i] - 'A' + 'a') : cell[i];
        if (c != name[i]) return false;
    }
    return true;
}

class Batch {
public:
    explicit Batch(std::FILE* out) : out_(out) {}

    void operator()(const CsvRecord& record) {
        if (!writer_) {
            Header(record);
        } else {
            Row(record);
        }
    }

    bool failed() const { return writer_ && writer_->failed(); }
    bool Flush() { return !writer_ || writer_->Flush(); }

private:
    void Header(const CsvRecord& header) {
        writer_.emplace(out_, header.crlf());
        width_ = header.size();
        columnOf_.fill(-1);
        for (std::size_t i = 0; i < width_; ++i) {
            writer_->Cell(header[i]);
            for (int c = 0; c < kColumnCount; ++c) {
                // The first column of a name is read; later ones are carried through.
                if (columnOf_[c] < 0 && SameName(header[i], kColumnNames[c])) {
                    columnOf_[c] = static_cast<int>(i);
                }
            }
        }
        for (const char* name : kAddedColumns) writer_->RawCell(name);
        writer_->EndRow();
    }

    std::string_view CellOf(const CsvRecord& record, Column column) const {
        const int index = columnOf_[column];
        if (index < 0) return {};
        return static_cast<std::size_t>(index) < record.size() ? record[index] : std::string_view();
    }

    // Takes the row's cells into fields; false, with reason_ written, when a selector or
    // flag cell cannot be taken.
    bool ReadRow(const CsvRecord& record, FormFields& fields) {
        fields = kDefaultFields;
        std::string_view* const texts[] = {nullptr,           &fields.age,   &fields.systolic,
                                           &fields.diastolic, &fields.total, &fields.hdl,
                                           nullptr,           &fields.years};
        for (int c : {kColumnAge, kColumnSystolic, kColumnDiastolic, kColumnTotal, kColumnHdl,
                      kColumnYears}) {
            if (columnOf_[c] >= 0) *texts[c] = CellOf(record, Column(c));
        }
        if (columnOf_[kColumnSex] >= 0) {
            fields.sex = ParseSexSelector(CellOf(record, kColumnSex));
            if (fields.sex < 0) return Invalid("sex", CellOf(record, kColumnSex), kSexAccepted);
        }
        if (columnOf_[kColumnUnit] >= 0) {
            fields.unit = ParseUnitSelector(CellOf(record, kColumnUnit));
            if (fields.unit < 0) {
                return Invalid("unit", CellOf(record, kColumnUnit), kUnitAccepted);
            }
        }
        const struct {
            Column column;
            int* flag;
        } flags[] = {{kColumnSmoker, &fields.smoker},
                     {kColumnDiabetes, &fields.diabetes},
                     {kColumnLvh, &fields.lvh}};
        for (const auto& f : flags) {
            if (columnOf_[f.column] < 0) continue;
            *f.flag = ParseFlag(CellOf(record, f.column));
            if (*f.flag < 0) {
                return Invalid(kColumnNames[f.column], CellOf(record, f.column), kFlagAccepted);
            }
        }
        return true;
    }

    // Writes the reason for a cell that cannot be taken into reason_; returns false.
    bool Invalid(std::string_view column, std::string_view cell, std::string_view accepted) {
        DescribeInvalidValue(reason_, column, cell, accepted);
        return false;
    }

    void Row(const CsvRecord& record) {
        CsvWriter& w = *writer_;
        if (record.plain() && record.size() == width_) {
            w.RawCell(record.text());  // the cells as they were read, in one piece
        } else {
            for (std::size_t i = 0; i < width_; ++i) {
                w.Cell(i < record.size() ? record[i] : std::string_view());
            }
        }
        if (record.size() != width_) {
            char number[24];
            reason_.assign("nombre de cellules incorrect : ");
            reason_.append(number,
                           std::to_chars(number, number + sizeof number, record.size()).ptr);
            reason_.append(" au lieu de ");
            reason_.append(number, std::to_chars(number, number + sizeof number, width_).ptr);
            WriteError(reason_);
            return;
        }
        if (!ReadRow(record, fields_)) {
            WriteError(reason_);
            return;
        }
        // The window's own recomputation, over controls that hold the row's cells.
        controls_.Set(fields_);
        if (!EvaluateFields(controls_)) {
            WriteError(DescribeFailure(ValidateInputs(g_riskState)));
            return;
        }
        w.RawCell(controls_.Result());
        char* const bar = w.BeginCell(16);
        w.CommitCell(std::to_chars(bar, bar + 16, controls_.BarPos()).ptr);
        w.CommitCell(WriteShortestDecimal(g_riskState.pSys, w.BeginCell(kMaxShortestDecimal)));
        w.CommitCell(WriteShortestDecimal(g_riskState.pDia, w.BeginCell(kMaxShortestDecimal)));
        w.RawCell("");
        w.EndRow();
    }

    void WriteError(std::string_view reason) {
        CsvWriter& w = *writer_;
        w.RawCell("ERREUR");
        w.RawCell("");
        w.RawCell("");
        w.RawCell("");
        w.Cell(reason);
        w.EndRow();
    }

    std::FILE* out_;
    std::optional<CsvWriter> writer_;
    std::size_t width_ = 0;
    std::array<int, kColumnCount> columnOf_{};
    FormFields fields_ = kDefaultFields;
    FieldControls controls_;
    std::string reason_;  // reused: no allocation per row
};

}  // namespace

int RunBatch(std::FILE* in, std::FILE* out, std::FILE* err, const char* inputName) {
    CsvReader reader;
    Batch batch(out);
    std::unique_ptr<char[]> block(new char[kBlockSize]);
    for (;;) {
        const std::size_t count = std::fread(block.get(), 1, kBlockSize, in);
        if (count > 0) reader.Feed({block.get(), count}, batch);
        if (batch.failed()) return 1;
        if (count < kBlockSize) break;
    }
    if (std::ferror(in)) {
        std::fprintf(err, "vessane-cli: %s : erreur de lecture\n", inputName);
        batch.Flush();
        return 2;
    }
    const bool complete = reader.Finish(batch);
    if (!batch.Flush()) return 1;
    if (!complete) {
        std::fprintf(err,
                     "vessane-cli: %s:%zu : guillemet non fermé à la fin du fichier, "
                     "la ligne commencée ici est ignorée\n",
                     inputName, reader.recordLine());
        return 1;
    }
    return 0;
}

}  // namespace vessane::cli
