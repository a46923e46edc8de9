#include "batch.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "block_evaluator.h"
#include "block_filler.h"
#include "csv_reader.h"
#include "form_fields.h"
#include "progress_line.h"
#include "stop_signals.h"
#include "text_encoding.h"
#include "threads.h"

namespace vessane::cli {
namespace {

constexpr std::size_t kReadSize = 64 << 10;
// Threads beyond this would only wait: the blocks in flight, and so memory, stay bounded.
constexpr int kMaxJobs = 16;

// Blocks go round a ring of slots: filled by the reading thread in input order,
// evaluated by whichever thread is free, written by the reading thread in input order.
// The reading thread evaluates too when every slot is busy.
class Pipeline final : public BlockQueue {
public:
    Pipeline(int jobs, ByteSink& out, const BatchLayout& layout, ProgressLine* progress)
        : out_(out), layout_(layout), progress_(progress) {
        jobs = std::clamp(jobs, 1, kMaxJobs);
        slots_.resize(jobs == 1 ? 1 : static_cast<std::size_t>(jobs) + 2);
        for (auto& slot : slots_) slot = std::make_unique<Slot>();
        for (int i = 1; i < jobs; ++i) {
            auto thread = std::make_unique<Thread>(&Pipeline::WorkerBody, this);
            if (!thread->started()) break;  // fewer threads give the same output
            workers_.push_back(std::move(thread));
        }
    }
    ~Pipeline() override {
        {
            MonitorLock lock(monitor_);
            closing_ = true;
            monitor_.NotifyAll();
        }
        workers_.clear();  // joins
    }

    Block* Exchange(Block* full) override {
        MonitorLock lock(monitor_);
        Submit(full);
        for (;;) {
            if (WriteNext()) continue;
            Slot& next = SlotOf(submitted_);
            if (next.state == State::kFree) {
                next.state = State::kFilling;
                next.block.Clear();
                return &next.block;
            }
            if (!EvaluateNext(evaluator_)) monitor_.Wait();
        }
    }

    void Close(Block* last) override {
        MonitorLock lock(monitor_);
        Submit(last);
        while (written_ < submitted_) {
            if (!WriteNext() && !EvaluateNext(evaluator_)) monitor_.Wait();
        }
    }

    bool failed() const { return failed_; }
    void SetBytesRead(std::uint64_t bytes) { bytesRead_ = bytes; }
    // What the output starts with (a byte order mark, a "sep=" line), before any row.
    void SetPrefix(std::string prefix) { prefix_ = std::move(prefix); }
    // Nothing is written any more: the header was refused.
    void Discard() {
        MonitorLock lock(monitor_);
        discard_ = true;
    }

private:
    enum class State { kFree, kFilling, kReady, kEvaluating, kDone };
    struct Slot {
        Block block;
        State state = State::kFree;
    };

    Slot& SlotOf(std::uint64_t sequence) { return *slots_[sequence % slots_.size()]; }

    void Submit(Block* full) {
        if (full == nullptr) return;
        SlotOf(submitted_++).state = State::kReady;
        monitor_.NotifyAll();
    }

    // With the lock held: evaluates the oldest block waiting, if any, with the lock
    // released meanwhile.
    bool EvaluateNext(BlockEvaluator& evaluator) {
        for (std::uint64_t s = written_; s < submitted_; ++s) {
            Slot& slot = SlotOf(s);
            if (slot.state != State::kReady) continue;
            slot.state = State::kEvaluating;
            monitor_.Unlock();
            evaluator.Evaluate(slot.block, layout_);
            monitor_.Lock();
            slot.state = State::kDone;
            monitor_.NotifyAll();
            return true;
        }
        return false;
    }

    // With the lock held, on the reading thread: writes the next block in input order
    // if it is evaluated, with the lock released meanwhile.
    bool WriteNext() {
        if (written_ == submitted_) return false;
        Slot& slot = SlotOf(written_);
        if (slot.state != State::kDone) return false;
        monitor_.Unlock();
        const Block& block = slot.block;
        if (!failed_ && !discard_ && !prefix_.empty()) {
            if (!out_.Write(prefix_.data(), prefix_.size())) failed_ = true;
            prefix_.clear();
        }
        if (!failed_ && !discard_ && !out_.Write(block.output.get(), block.outputSize)) {
            failed_ = true;
        }
        rowsWritten_ += block.rows.size() - (!block.rows.empty() && block.rows[0].header);
        if (progress_ != nullptr && !failed_) progress_->Update(rowsWritten_, bytesRead_);
        monitor_.Lock();
        slot.state = State::kFree;
        ++written_;
        return true;
    }

    static void WorkerBody(void* pipeline) { static_cast<Pipeline*>(pipeline)->Work(); }
    void Work() {
        BlockEvaluator evaluator;
        MonitorLock lock(monitor_);
        while (!closing_) {
            if (!EvaluateNext(evaluator)) monitor_.Wait();
        }
    }

    ByteSink& out_;
    const BatchLayout& layout_;
    ProgressLine* progress_;
    Monitor monitor_;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::uint64_t submitted_ = 0;  // blocks handed on, counted from the first
    std::uint64_t written_ = 0;
    bool closing_ = false;
    bool failed_ = false;
    bool discard_ = false;
    std::string prefix_;
    std::uint64_t rowsWritten_ = 0;
    std::uint64_t bytesRead_ = 0;
    BlockEvaluator evaluator_;  // the reading thread's
    std::vector<std::unique_ptr<Thread>> workers_;
};

}  // namespace

char DetectDelimiter(std::string_view line) {
    std::size_t counts[3] = {};
    constexpr char kCandidates[3] = {',', ';', '\t'};
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') quoted = !quoted;
        if (c == '\n' && !quoted) break;
        for (int i = 0; i < 3; ++i) counts[i] += !quoted && c == kCandidates[i];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i) {
        if (counts[i] > counts[best]) best = i;
    }
    if (counts[best] == 0) return ',';
    for (int i = 0; i < 3; ++i) {
        if (i != best && counts[i] == counts[best]) return 0;
    }
    return kCandidates[best];
}

namespace {

bool IsBlankLine(std::string_view line) {
    for (const char c : line) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    }
    return true;
}

// Where the record that starts at text[from] ends (after its '\n'), quotes respected;
// npos when it does not end in text.
std::size_t RecordEnd(std::string_view text, std::size_t from) {
    bool quoted = false;
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (text[i] == '\n' && !quoted) return i + 1;
    }
    return std::string_view::npos;
}

// The decimal separator of a file's numbers, from the rows in text (its header onwards):
// the more frequent of a comma and a point between digits in a cell that is a number;
// without any, a comma when cells are separated by ';', as French spreadsheets read them.
char FileDecimal(std::string_view text, char delimiter) {
    const std::string_view sample = text.substr(0, 64 << 10);
    // A cell's bytes are the sample's, so the sample's size is room for any cell; left
    // uninitialised, as the reader asks for room up to the end of what it reads.
    struct Counter {
        std::unique_ptr<char[]> cell;
        std::size_t size = 0;
        bool header = true;
        int commas = 0, points = 0;
        char* Room(std::size_t) { return cell.get() + size; }
        void Commit(char* end) { size = static_cast<std::size_t>(end - cell.get()); }
        void Text(const char* begin, const char* end) {
            std::memcpy(cell.get() + size, begin, static_cast<std::size_t>(end - begin));
            size += static_cast<std::size_t>(end - begin);
        }
        void EndCell() {
            constexpr std::size_t kNone = static_cast<std::size_t>(-1);
            std::size_t digits = 0, separator = kNone;
            for (std::size_t i = 0; i < size; ++i) {  // digits, one separator, a sign
                const char c = cell[i];
                if (c >= '0' && c <= '9') {
                    ++digits;
                } else if ((c == ',' || c == '.') && separator == kNone && i > 0) {
                    separator = i;
                } else if (c != ' ' && c != '-' && c != '+') {
                    digits = 0;  // not a plain number
                    break;
                }
            }
            if (!header && digits > 0 && separator != kNone && separator + 1 < size) {
                (cell[separator] == ',' ? commas : points) += 1;
            }
            size = 0;
        }
        void EndRecord(bool, bool) {
            EndCell();
            header = false;
        }
    } counter{std::unique_ptr<char[]>(new char[sample.size() + 1])};
    CsvReader<Counter> reader(counter, delimiter);
    reader.Feed(sample);
    if (counter.commas != counter.points) return counter.commas > counter.points ? ',' : '.';
    return delimiter == ';' ? ',' : '.';
}

// The start of a file up to its header: blank lines, a spreadsheet's "sep=X" line.
struct FileStart {
    std::size_t header = 0;  // where the header record starts
    std::size_t sepLine = std::string_view::npos, sepEnd = 0;
    char sep = 0;
    bool complete = false;  // the header record is whole in the text (or the text ends)
};

FileStart ReadFileStart(std::string_view text, bool ended) {
    FileStart start;
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = RecordEnd(text, at);
        if (end == std::string_view::npos) {
            start.header = at;
            start.complete = ended;
            return start;
        }
        const std::string_view line = text.substr(at, end - at);
        if (IsBlankLine(line)) {
            at = end;
            continue;
        }
        std::string_view content = line.substr(0, line.size() - 1);  // without its LF
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        if (start.sepLine == std::string_view::npos && content.size() == 5 &&
            (content.substr(0, 4) == "sep=" || content.substr(0, 4) == "SEP=") &&
            content[4] != '"') {
            start.sepLine = at;
            start.sepEnd = end;
            start.sep = content[4];
            at = end;
            continue;
        }
        start.header = at;
        start.complete = true;
        return start;
    }
}

}  // namespace

BatchEnd RunBatch(ByteSource& rawIn, ByteSink& rawOut, std::FILE* err, const char* inputName,
                  const BatchOptions& options) {
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    std::uint64_t bytesRead = 0;
    ByteSource* in = &rawIn;
    // The start of the file, read until its encoding and its header are known.
    std::string start;
    bool ended = false;
    const auto readMore = [&]() {
        const long count = in->Read(buffer.get(), kReadSize);
        if (count < 0) return false;
        if (count == 0) ended = true;
        start.append(buffer.get(), static_cast<std::size_t>(count));
        bytesRead += static_cast<std::uint64_t>(count);
        return true;
    };
    const auto readError = [&]() {
        if (StopSignal() != 0) return BatchEnd::kStopped;
        std::fprintf(err, "vessane-cli: %s : erreur de lecture\n", inputName);
        return BatchEnd::kReadError;
    };
    while (start.size() < 4 && !ended) {
        if (!readMore()) return readError();
    }
    TextEncoding encoding = DetectEncoding(start);
    std::optional<Utf16Source> utf16In;
    std::optional<Utf16Sink> utf16Out;
    ByteSink* out = &rawOut;
    if (encoding == TextEncoding::kUtf16Le || encoding == TextEncoding::kUtf16Be) {
        // Read and written as UTF-16, handled as UTF-8.
        const bool big = encoding == TextEncoding::kUtf16Be;
        utf16In.emplace(rawIn, big, std::string_view(start).substr(2));
        utf16Out.emplace(rawOut, big);
        in = &*utf16In;
        out = &*utf16Out;
        start.clear();
        ended = false;
    }
    FileStart file;
    for (;;) {
        const std::string_view text =
            std::string_view(start).substr(encoding == TextEncoding::kUtf8Bom ? 3 : 0);
        file = ReadFileStart(text, ended);
        if (file.complete || start.size() >= 16 * kReadSize) break;
        if (!readMore()) return readError();
    }
    if (encoding == TextEncoding::kUtf8) encoding = DetectEncoding(start);
    const std::size_t skipped = encoding == TextEncoding::kUtf8Bom ? 3 : 0;
    const std::string_view text = std::string_view(start).substr(skipped);

    // Read by every thread for every row: on cache lines of its own, away from the reading
    // thread's busy locals (sharing one with them costs the evaluating threads dearly).
    const auto layoutOwner = std::make_unique<BatchLayout>();
    BatchLayout& layout = *layoutOwner;
    layout.encoding = encoding;
    std::string prefix(encoding == TextEncoding::kUtf8Bom ? ByteOrderMark(encoding) : "");
    char delimiter = options.delimiter;
    if (file.sepLine != std::string_view::npos) {
        // Excel's "sep=" line: honoured, and written back for the spreadsheet that reads
        // the output.
        prefix.append(text.substr(file.sepLine, file.sepEnd - file.sepLine));
        if (delimiter == 0) delimiter = file.sep;
    }
    if (delimiter == 0) {
        const std::size_t end = RecordEnd(text, file.header);
        delimiter = DetectDelimiter(text.substr(file.header, end == std::string_view::npos
                                                                 ? std::string_view::npos
                                                                 : end - file.header));
        if (delimiter == 0) {
            std::fprintf(
                err,
                "vessane-cli: %s : s\xC3\xA9parateur ambigu dans l'en-t\xC3\xAAte (autant de "
                "l'un que de l'autre parmi \xC2\xAB , \xC2\xBB, \xC2\xAB ; \xC2\xBB et "
                "tabulation) : pr\xC3\xA9"
                "cisez --delimiter\n",
                inputName);
            return BatchEnd::kRefused;
        }
    }
    layout.SetDelimiter(delimiter);
    layout.score2 = options.score2;
    layout.region = options.region;
    layout.decimal =
        options.decimal != 0 ? options.decimal : FileDecimal(text.substr(file.header), delimiter);
    layout.plainAddedCells =
        (delimiter == ',' || delimiter == ';' || delimiter == '\t') && delimiter != layout.decimal;
    for (const auto& [column, value] :
         {std::pair{kColumnUnit, options.unit}, std::pair{kColumnYears, options.years}}) {
        if (value == nullptr) continue;
        layout.fixed[column] = value;
        layout.isFixed[column] = true;
    }

    Pipeline pipeline(options.jobs, *out, layout, options.progress);
    pipeline.SetPrefix(prefix);
    BlockFiller filler(pipeline, layout,
                       HeaderCheck{options.headerNotice || options.readingNotice ? err : nullptr,
                                   inputName, !options.headerNotice, options.defaults});
    CsvReader<BlockFiller> reader(filler, layout.delimiter);
    // The header onwards: blank lines before it and a "sep=" line are not rows.
    reader.Feed(text.substr(file.sepLine != std::string_view::npos && file.sepEnd > file.header
                                ? file.sepEnd
                                : file.header));
    start = std::string();

    // The header refused (as soon as it is read): nothing written, the reason said.
    const auto refuse = [&]() {
        pipeline.Discard();
        std::fprintf(err, "vessane-cli: %s : %s\n", inputName, filler.refusal().c_str());
        if (options.defaults != kEveryField) {
            std::fprintf(err,
                         "vessane-cli: renommez les colonnes, donnez --unit pour l'unit\xC3\xA9, "
                         "ou --defaults (par exemple --defaults diab\xC3\xA8te,fumeur) pour "
                         "prendre la valeur par d\xC3\xA9"
                         "faut des champs qui manquent\n");
        }
        return BatchEnd::kRefused;
    };
    BatchEnd end = BatchEnd::kComplete;
    for (bool first = true;; first = false) {
        if (!filler.refusal().empty()) return refuse();
        if (ended && first) break;
        // Stopped between rows: a row already partly handed on is read to its end first.
        if (StopSignal() != 0 && (filler.DropOpenRow() || !options.stopAtRowBoundary)) {
            end = BatchEnd::kStopped;
            break;
        }
        const long count = in->Read(buffer.get(), kReadSize);
        if (count < 0 && StopSignal() != 0) continue;
        if (count < 0) {
            std::fprintf(err, "vessane-cli: %s : erreur de lecture\n", inputName);
            end = BatchEnd::kReadError;
            break;
        }
        if (count == 0) break;
        reader.Feed(std::string_view(buffer.get(), static_cast<std::size_t>(count)));
        bytesRead += static_cast<std::uint64_t>(count);
        pipeline.SetBytesRead(bytesRead);
        if (pipeline.failed()) end = BatchEnd::kWriteError;
        if (filler.failed()) end = BatchEnd::kScratchError;
        if (end != BatchEnd::kComplete) break;
    }
    if (end == BatchEnd::kComplete && !reader.Finish()) end = BatchEnd::kUnfinished;
    if (!filler.refusal().empty()) return refuse();
    filler.Finish();
    if (pipeline.failed()) end = BatchEnd::kWriteError;
    if (filler.failed() && end != BatchEnd::kWriteError) end = BatchEnd::kScratchError;
    if (options.progress != nullptr) options.progress->Erase();
    if (StopSignal() != 0 && end != BatchEnd::kWriteError) return BatchEnd::kStopped;
    if (end == BatchEnd::kUnfinished) {
        std::fprintf(err,
                     "vessane-cli: %s:%zu : guillemet non ferm\xC3\xA9 \xC3\xA0 la fin du fichier, "
                     "la ligne commenc\xC3\xA9"
                     "e ici est ignor\xC3\xA9"
                     "e\n",
                     inputName, reader.recordLine());
    } else if (end == BatchEnd::kScratchError) {
        std::fprintf(
            err,
            "vessane-cli: %s : impossible de mettre de c\xC3\xB4t\xC3\xA9 une cellule longue "
            "(fichier temporaire)\n",
            inputName);
    }
    return end;
}

int RunBatch(std::FILE* in, std::FILE* out, std::FILE* err, const char* inputName,
             const FieldSet& defaults, int jobs, bool headerNotice) {
    FileSource source(in);
    FileSink sink(out);
    BatchOptions options;
    options.jobs = jobs;
    options.headerNotice = options.readingNotice = headerNotice;
    options.defaults = defaults;
    switch (RunBatch(source, sink, err, inputName, options)) {
        case BatchEnd::kComplete:
            return 0;
        case BatchEnd::kReadError:
        case BatchEnd::kRefused:
            return 2;
        default:
            return 1;
    }
}

}  // namespace vessane::cli
