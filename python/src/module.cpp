// The compiled part of the vessane package: columns of numpy arrays handed to the core
// and its results handed back as numpy arrays, the GIL released while rows are evaluated.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "evaluate_rows.h"
#include "form_texts.h"
#include "header_resolver.h"
#include "parallel_blocks.h"
#include "risk_state.h"
#include "validation.h"

namespace py = pybind11;

namespace vessane::python {
namespace {

// Rows go to the threads a block at a time: the cells read from Python objects (under
// the GIL) and the packed result texts of a block stay small and in cache.
constexpr std::size_t kBlockRows = 1 << 16;

// Views of the entries of object columns. A str is read as its UTF-8 bytes (lone
// surrogates, as from undecodable bytes, back to those bytes), bytes as they are; None,
// NaN and the given missing markers are NaN; other numbers are numbers; anything else
// is read as its str().
class CellReader {
public:
    explicit CellReader(const py::tuple& missing) {
        for (const py::handle marker : missing) missing_.push_back(marker.ptr());
    }

    Cell Read(PyObject* item) {
        if (PyUnicode_Check(item)) {
            if (PyUnicode_IS_COMPACT_ASCII(item)) {  // the usual case, read in place
                return Text(static_cast<const char*>(PyUnicode_DATA(item)),
                            PyUnicode_GET_LENGTH(item));
            }
            Py_ssize_t size = 0;
            if (const char* utf8 = PyUnicode_AsUTF8AndSize(item, &size)) {
                return Text(utf8, size);
            }
            PyErr_Clear();
            return EncodedText(item);
        }
        if (PyBytes_Check(item)) return Text(PyBytes_AS_STRING(item), PyBytes_GET_SIZE(item));
        if (item == Py_None || IsMissing(item)) return Number(kNaN);
        if (PyFloat_Check(item)) return Number(PyFloat_AS_DOUBLE(item));
        if (PyLong_Check(item)) return Number(LongAsDouble(item));
        if (PyNumber_Check(item)) {
            if (PyObject* number = PyNumber_Float(item)) {
                const double value = PyFloat_AS_DOUBLE(number);
                Py_DECREF(number);
                return Number(value);
            }
            PyErr_Clear();
        }
        if (PyObject* text = PyObject_Str(item)) {
            Py_ssize_t size = 0;
            const char* utf8 = PyUnicode_AsUTF8AndSize(text, &size);
            kept_.push_back(py::reinterpret_steal<py::object>(text));
            if (utf8) return Text(utf8, size);
            PyErr_Clear();
            return EncodedText(text);
        }
        PyErr_Clear();
        return Text(Py_TYPE(item)->tp_name,
                    static_cast<Py_ssize_t>(std::strlen(Py_TYPE(item)->tp_name)));
    }

private:
    static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    static Cell Text(const char* text, Py_ssize_t size) {
        return {{text, static_cast<std::size_t>(size)}, 0, true};
    }
    static Cell Number(double value) { return {{}, value, false}; }

    bool IsMissing(PyObject* item) const {
        return std::find(missing_.begin(), missing_.end(), item) != missing_.end();
    }

    // An int too large for a double is an infinity of its sign.
    static double LongAsDouble(PyObject* item) {
        const double value = PyLong_AsDouble(item);
        if (value != -1.0 || !PyErr_Occurred()) return value;
        PyErr_Clear();
        const bool negative = PyObject_RichCompareBool(item, py::int_(0).ptr(), Py_LT) == 1;
        PyErr_Clear();
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }

    Cell EncodedText(PyObject* text) {
        for (const char* errors : {"surrogateescape", "surrogatepass"}) {
            if (PyObject* bytes = PyUnicode_AsEncodedString(text, "utf-8", errors)) {
                kept_.push_back(py::reinterpret_steal<py::object>(bytes));
                return Text(PyBytes_AS_STRING(bytes), PyBytes_GET_SIZE(bytes));
            }
            PyErr_Clear();
        }
        return Text("", 0);
    }

    std::vector<PyObject*> missing_;
    std::vector<py::object> kept_;  // texts made here, alive until the call ends
};

// Python objects that many rows of object arrays share. The threads hand them to rows
// without the GIL, each counting the references it lends; the counts are added to the
// objects afterwards, under the GIL.
class SharedObjects {
public:
    std::size_t size() const { return objects_.size(); }
    void Add(py::object object) { objects_.push_back(std::move(object)); }

    // Without the GIL.
    PyObject* Lend(std::size_t number, std::vector<Py_ssize_t>& lent) const {
        ++lent[number];
        return objects_[number].ptr();
    }
    // Under the GIL: the references lent become the rows' own.
    void Settle(const std::vector<Py_ssize_t>& lent) const {
        for (std::size_t n = 0; n < lent.size(); ++n) {
            PyObject* const object = objects_[n].ptr();
            for (Py_ssize_t k = 0; k < lent[n]; ++k) Py_INCREF(object);
        }
    }

private:
    std::vector<py::object> objects_;
};

// One str per result text met, "ERREUR" first, numbered by their packed texts.
class ResultTexts {
public:
    ResultTexts() {
        numbers_.fill(kNone);
        numbers_[0] = 0;
        objects_.Add(py::str(kErrorText));
        numbers_[kEmptyResultCode] = 1;  // a row with nothing in it
        objects_.Add(py::str(""));
    }

    // Under the GIL: makes the objects of the texts not met yet.
    void Learn(const std::vector<int>& shownNumbers) {
        for (const int shown : shownNumbers) {
            std::size_t& number = numbers_[static_cast<std::size_t>(shown) + 1];
            if (number != kNone) continue;
            number = objects_.size();
            objects_.Add(py::str(ShownText(shown)));
        }
    }
    // The object's number for a row's code (1 + ShownTextNumber, 0 for ERREUR).
    std::size_t Number(std::uint16_t code) const { return numbers_[code]; }
    const SharedObjects& objects() const { return objects_; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::array<std::size_t, kShownTextCount + 2> numbers_;
    SharedObjects objects_;
};

// The error column's text for each status but kRowInvalidValue: "" for a valid row, the
// failed check's sentence otherwise. Made once and kept for the process.
const SharedObjects& Reasons() {
    static const SharedObjects* const reasons = [] {
        auto* made = new SharedObjects;
        made->Add(py::str(""));
        for (int status = 1; status < kRowInvalidValue; ++status) {
            made->Add(py::str(DescribeFailure(static_cast<ValidationCheck>(status))));
        }
        return made;
    }();
    return *reasons;
}

// Gives the rows [0, count) their result and error objects (the error of a row of status
// kRowInvalidValue is left null), on threads without the GIL.
void FillObjects(const ResultTexts& resultTexts, const std::uint16_t* texts,
                 const std::uint8_t* status, std::size_t count, int jobs, PyObject** results,
                 PyObject** errors) {
    const SharedObjects& reasons = Reasons();
    const std::size_t blocks = BlockCount(count, jobs);
    std::vector<std::vector<Py_ssize_t>> textsLent(
        blocks, std::vector<Py_ssize_t>(resultTexts.objects().size()));
    std::vector<std::vector<Py_ssize_t>> reasonsLent(blocks,
                                                     std::vector<Py_ssize_t>(reasons.size()));
    {
        py::gil_scoped_release release;
        RunBlocks(count, blocks, [&](std::size_t block, std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                results[i] =
                    resultTexts.objects().Lend(resultTexts.Number(texts[i]), textsLent[block]);
                if (status[i] != kRowInvalidValue) {
                    errors[i] = reasons.Lend(status[i], reasonsLent[block]);
                }
            }
        });
    }
    for (std::size_t b = 0; b < blocks; ++b) {
        resultTexts.objects().Settle(textsLent[b]);
        reasons.Settle(reasonsLent[b]);
    }
}

struct Column {
    py::array array;
    bool present = false;
    bool objects = false;
    NumberType numberType = NumberType::kFloat64;
    std::size_t step = 0;
};

// The element type of a numeric array read in place; false for any other array.
bool NumberTypeOf(const py::dtype& dtype, NumberType& type) {
    const char kind = dtype.kind();
    const auto size = dtype.itemsize();
    constexpr NumberType kSigned[] = {NumberType::kInt8, NumberType::kInt16, NumberType::kInt32,
                                      NumberType::kInt64};
    constexpr NumberType kUnsigned[] = {NumberType::kUInt8, NumberType::kUInt16,
                                        NumberType::kUInt32, NumberType::kUInt64};
    const int sizeIndex = size == 1 ? 0 : size == 2 ? 1 : size == 4 ? 2 : size == 8 ? 3 : -1;
    if (!dtype.attr("isnative").cast<bool>() || sizeIndex < 0) return false;
    switch (kind) {
        case 'b':
            type = NumberType::kBool;
            return size == 1;
        case 'i':
            type = kSigned[sizeIndex];
            return true;
        case 'u':
            type = kUnsigned[sizeIndex];
            return true;
        case 'f':
            type = size == 8 ? NumberType::kFloat64 : NumberType::kFloat32;
            return size == 8 || size == 4;
        default:
            return false;
    }
}

Column CheckColumn(const py::handle entry, std::size_t rows, std::size_t index) {
    const std::string name = kFormColumnNames[index];
    if (!py::isinstance<py::array>(entry)) {
        throw py::value_error("column " + name + ": expected a numpy array");
    }
    Column column{py::reinterpret_borrow<py::array>(entry), true};
    const py::array& array = column.array;
    const char kind = array.dtype().kind();
    column.objects = kind == 'O';
    if (!column.objects && !NumberTypeOf(array.dtype(), column.numberType)) {
        throw py::value_error("column " + name +
                              ": expected bool, integer, float32, float64 or object entries");
    }
    if (array.ndim() != 1 || !(array.flags() & py::array::c_style)) {
        throw py::value_error("column " + name + ": expected a contiguous one-dimensional array");
    }
    const auto size = static_cast<std::size_t>(array.shape(0));
    if (size != rows && size != 1) {
        throw py::value_error("column " + name + ": " + std::to_string(size) + " entries for " +
                              std::to_string(rows) + " rows");
    }
    column.step = size == rows ? 1 : 0;
    return column;
}

// The columns' inputs for rows [start, start + count): numbers read in place, objects read
// into cells.
void PrepareInputs(const std::array<Column, kFormColumnCount>& columns, ColumnInputs& inputs,
                   std::array<std::vector<Cell>, kFormColumnCount>& cells, CellReader& reader,
                   std::size_t start, std::size_t count) {
    for (std::size_t c = 0; c < kFormColumnCount; ++c) {
        const Column& column = columns[c];
        if (!column.present) continue;
        const std::size_t offset = start * column.step;
        if (!column.objects) {
            inputs[c].numbers =
                static_cast<const char*>(column.array.data()) + offset * column.array.itemsize();
            inputs[c].numberType = column.numberType;
            continue;
        }
        auto* const items = static_cast<PyObject* const*>(column.array.data()) + offset;
        const std::size_t needed = column.step ? count : 1;
        if (cells[c].empty() || column.step) {
            cells[c].resize(needed);
            for (std::size_t i = 0; i < needed; ++i) cells[c][i] = reader.Read(items[i]);
        }
        if (!column.step && !cells[c][0].isText) {
            inputs[c].numbers = &cells[c][0].number;  // one number for every row
            inputs[c].numberType = NumberType::kFloat64;
        } else {
            inputs[c].cells = cells[c].data();
        }
    }
}

py::dict EvaluateScore2(const std::array<Column, kFormColumnCount>& columns, ColumnInputs inputs,
                        std::size_t rows, const py::tuple& missing, const ColumnNames& names,
                        const CholesterolHeader& header, const bool* othersGiven,
                        const py::tuple& score2) {
    Score2Region region;
    const std::string defaultRegion = score2[0].cast<std::string>();
    if (!ParseScore2Region(defaultRegion, region)) {
        throw py::value_error(
            "region : r\u00e9gion invalide \"" + defaultRegion +
            "\" (bas, mod\u00e9r\u00e9, \u00e9lev\u00e9, tr\u00e8s \u00e9lev\u00e9)");
    }
    std::vector<std::string> regionTexts;
    std::vector<std::string_view> regionViews;
    if (!score2[1].is_none()) {
        for (const py::handle item : score2[1]) {
            regionTexts.push_back(item.is_none() ? std::string()
                                                 : py::str(item).cast<std::string>());
        }
        if (regionTexts.size() != rows) throw py::value_error("region: one entry per row expected");
        for (const std::string& text : regionTexts) regionViews.emplace_back(text);
    }
    std::vector<Score2Outcome> outcomes(rows);
    std::array<std::vector<Cell>, kFormColumnCount> cells;
    CellReader reader(missing);
    if (rows > 0) PrepareInputs(columns, inputs, cells, reader, 0, rows);
    const TableContext table{&names, &header, othersGiven};
    EvaluateScore2Rows(inputs, rows, table, regionViews.empty() ? nullptr : regionViews.data(),
                       region, columns[kColumnDiastolic].present, outcomes.data());
    py::list text, model, category, error;
    py::array_t<double> probability(rows);
    double* p = probability.mutable_data();
    for (std::size_t i = 0; i < rows; ++i) {
        const Score2Outcome& o = outcomes[i];
        text.append(py::str(o.computed ? o.text : ""));
        p[i] = o.computed ? o.probability : std::numeric_limits<double>::quiet_NaN();
        model.append(py::str(o.modelKnown ? o.modelName() : ""));
        category.append(py::str(o.computed ? o.category : ""));
        error.append(py::str(o.computed ? std::string() : std::string(o.reason())));
    }
    py::dict out;
    out["score2"] = text;
    out["p_score2"] = probability;
    out["model"] = model;
    out["category"] = category;
    out["error"] = error;
    return out;
}

py::dict Evaluate(const py::sequence& entries, std::size_t rows, int jobs, const py::tuple& missing,
                  const py::sequence& names, const py::tuple& cholesterol, const py::object& others,
                  const py::object& score2) {
    if (py::len(entries) != kFormColumnCount || py::len(names) != kFormColumnCount) {
        throw py::value_error("expected one entry and one name per input column");
    }
    // The data's own names of the columns, for reasons.
    std::array<std::string, kFormColumnCount> nameTexts;
    ColumnNames columnNames{};
    for (std::size_t c = 0; c < kFormColumnCount; ++c) {
        if (py::handle name = names[c]; !name.is_none()) {
            nameTexts[c] = name.cast<std::string>();
            columnNames[c] = nameTexts[c];
        }
    }
    CholesterolHeader header;
    if (py::len(cholesterol) == 3) {
        header.unit = cholesterol[0].cast<int>();
        header.milligrams = cholesterol[1].cast<bool>();
        header.source = cholesterol[2].cast<std::string>();
    }
    // Per row, whether a column the form does not read holds something.
    py::array_t<bool, py::array::c_style | py::array::forcecast> othersGiven;
    if (!others.is_none()) {
        othersGiven = others.cast<py::array_t<bool, py::array::c_style | py::array::forcecast>>();
        if (othersGiven.ndim() != 1 || static_cast<std::size_t>(othersGiven.shape(0)) != rows) {
            throw py::value_error("others: expected one entry per row");
        }
    }
    std::array<Column, kFormColumnCount> columns;
    ColumnInputs inputs{};
    for (std::size_t c = 0; c < kFormColumnCount; ++c) {
        const py::handle entry = entries[c];
        if (entry.is_none() || rows == 0) continue;
        columns[c] = CheckColumn(entry, rows, c);
        inputs[c].step = columns[c].step;
    }

    // SCORE2 instead of the 1991 equations: score2 = (default region, the rows' region
    // texts or None).
    if (!score2.is_none()) {
        return EvaluateScore2(columns, inputs, rows, missing, columnNames, header,
                              others.is_none() ? nullptr : othersGiven.data(),
                              score2.cast<py::tuple>());
    }

    // Object arrays of null entries, each set once below.
    py::array result(py::dtype("O"), rows);
    py::array error(py::dtype("O"), rows);
    py::array_t<std::int64_t> bar(rows);
    py::array_t<bool> barMissing(rows);
    py::array_t<double> pSys(rows);
    py::array_t<double> pDia(rows);

    const std::size_t block = kBlockRows;
    std::vector<std::uint16_t> texts(std::min(block, rows));
    std::vector<std::uint8_t> status(std::min(block, rows));
    std::array<std::vector<Cell>, kFormColumnCount> cells;
    CellReader reader(missing);
    ResultTexts resultTexts;
    auto* const resultItems = static_cast<PyObject**>(result.mutable_data());
    auto* const errorItems = static_cast<PyObject**>(error.mutable_data());

    for (std::size_t start = 0; start < rows; start += block) {
        const std::size_t count = std::min(block, rows - start);
        PrepareInputs(columns, inputs, cells, reader, start, count);
        const RowOutputs outputs{texts.data(),
                                 bar.mutable_data() + start,
                                 barMissing.mutable_data() + start,
                                 pSys.mutable_data() + start,
                                 pDia.mutable_data() + start,
                                 status.data()};
        RowsSummary summary;
        {
            py::gil_scoped_release release;
            const TableContext table{&columnNames, &header,
                                     others.is_none() ? nullptr : othersGiven.data() + start};
            summary = EvaluateRows(inputs, count, outputs, jobs, table);
        }
        resultTexts.Learn(summary.resultTexts);
        FillObjects(resultTexts, texts.data(), status.data(), count, jobs, resultItems + start,
                    errorItems + start);
        for (const InvalidValue& value : summary.invalid) {
            PyObject* reason = PyUnicode_DecodeUTF8(value.reason.data(),
                                                    static_cast<Py_ssize_t>(value.reason.size()),
                                                    "surrogateescape");
            if (!reason) throw py::error_already_set();
            errorItems[start + value.row] = reason;
        }
    }

    py::dict out;
    out["result"] = result;
    out["bar"] = bar;
    out["bar_missing"] = barMissing;
    out["p_sys"] = pSys;
    out["p_dia"] = pDia;
    out["error"] = error;
    return out;
}

FieldSet ToFieldSet(const std::vector<bool>& flags) {
    FieldSet fields{};
    for (std::size_t c = 0; c < fields.size() && c < flags.size(); ++c) fields[c] = flags[c];
    return fields;
}

py::tuple ReadColumns(const std::vector<std::string>& names, const std::vector<bool>& supplied,
                      const std::vector<bool>& defaults, bool score2) {
    ColumnsFound found;
    std::vector<int> columns;
    for (const std::string& name : names) columns.push_back(found.Add(name));
    FieldSet given = ToFieldSet(supplied);
    // SCORE2 reads neither the horizon nor LVH: nothing is said of their absence.
    if (score2) given[kColumnYears] = given[kColumnLvh] = true;
    const HeaderVerdict verdict = found.Conclude(
        given, ToFieldSet(defaults), score2 ? kScore2RequiredColumns : kRequiredColumns);
    py::list notices;
    for (const HeaderNotice& notice : verdict.notices) notices.append(notice.text);
    const CholesterolHeader& unit = verdict.cholesterol;
    return py::make_tuple(columns, verdict.refusal, notices,
                          py::make_tuple(unit.unit, unit.milligrams, unit.source));
}

std::vector<bool> FieldList(const std::string& list) {
    FieldSet fields;
    std::string unknown;
    if (!ParseFieldList(list, fields, unknown)) {
        throw py::value_error("defaults : champ inconnu \"" + unknown + "\"");
    }
    return std::vector<bool>(fields.begin(), fields.end());
}

}  // namespace
}  // namespace vessane::python

PYBIND11_MODULE(_core, m) {
    m.doc() = "Evaluates forms given as columns through the core of Vessane.";
    m.attr("__version__") = VESSANE_VERSION_TEXT;
    py::tuple names(static_cast<std::size_t>(vessane::kFormColumnCount));
    for (std::size_t c = 0; c < vessane::kFormColumnCount; ++c) {
        names[c] = py::str(vessane::kFormColumnNames[c]);
    }
    m.attr("COLUMNS") = names;
    m.attr("REGION_COLUMN") = vessane::kRegionColumn;
    m.def("evaluate", &vessane::python::Evaluate, py::arg("columns"), py::arg("rows"),
          py::arg("jobs"), py::arg("missing"), py::arg("names"), py::arg("cholesterol"),
          py::arg("others"), py::arg("score2") = py::none(),
          "Evaluates rows of columns (None, numeric or object arrays of one entry or one per "
          "row, in COLUMNS' order) over jobs threads; returns the result arrays. names: each "
          "column's name in the data (None for its English name), for reasons.");
    m.def("read_columns", &vessane::python::ReadColumns, py::arg("names"), py::arg("supplied"),
          py::arg("defaults"), py::arg("score2") = false,
          "Reads a table's column names as the batch reads a header: (the input each name "
          "stands for or -1, why nothing can be computed or '', the notices, the cholesterol "
          "unit the names give as (unit index or -1, in mg/dL, the name saying it)).");
    m.def("field_list", &vessane::python::FieldList, py::arg("names"),
          "The fields a comma-separated list names, as a header names them; '' is every field.");
}
