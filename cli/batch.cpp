#include "batch.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "block_evaluator.h"
#include "block_filler.h"
#include "csv_reader.h"
#include "progress_line.h"
#include "stop_signals.h"
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
        if (!failed_ && !out_.Write(block.output.get(), block.outputSize)) failed_ = true;
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
    return kCandidates[best];
}

BatchEnd RunBatch(ByteSource& in, ByteSink& out, std::FILE* err, const char* inputName,
                  const BatchOptions& options) {
    BatchLayout layout;
    Pipeline pipeline(options.jobs, out, layout, options.progress);
    BlockFiller filler(pipeline, layout,
                       HeaderNotice{options.headerNotice ? err : nullptr, inputName});
    // Made once the header line is read, which tells the delimiter.
    std::optional<CsvReader<BlockFiller>> reader;
    std::string headerStart;  // what was read before that
    const auto startReading = [&]() {
        static constexpr std::string_view kBom = "\xEF\xBB\xBF";
        const bool bom = std::string_view(headerStart).substr(0, 3) == kBom;
        layout.SetDelimiter(options.delimiter != 0
                                ? options.delimiter
                                : DetectDelimiter(std::string_view(headerStart).substr(bom ? 3 : 0)));
        reader.emplace(filler, layout.delimiter);
        // A byte order mark read is written back, for the spreadsheet that wrote it.
        if (bom && !out.Write(kBom.data(), kBom.size())) return false;
        reader->Feed(headerStart);
        headerStart = std::string();
        return true;
    };
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    BatchEnd end = BatchEnd::kComplete;
    std::uint64_t bytesRead = 0;
    for (;;) {
        // Stopped between rows: a row already partly handed on is read to its end first.
        if (StopSignal() != 0 && (filler.DropOpenRow() || !options.stopAtRowBoundary)) {
            end = BatchEnd::kStopped;
            break;
        }
        const long count = in.Read(buffer.get(), kReadSize);
        if (count < 0 && StopSignal() != 0) continue;
        if (count < 0) {
            std::fprintf(err, "vessane-cli: %s : erreur de lecture\n", inputName);
            end = BatchEnd::kReadError;
            break;
        }
        if (count == 0) break;
        const std::string_view read(buffer.get(), static_cast<std::size_t>(count));
        if (reader) {
            reader->Feed(read);
        } else {
            headerStart.append(read);
            if ((headerStart.find('\n') != std::string::npos || headerStart.size() >= kReadSize) &&
                !startReading()) {
                end = BatchEnd::kWriteError;
                break;
            }
        }
        bytesRead += static_cast<std::uint64_t>(count);
        pipeline.SetBytesRead(bytesRead);
        if (pipeline.failed()) end = BatchEnd::kWriteError;
        if (filler.failed()) end = BatchEnd::kScratchError;
        if (end != BatchEnd::kComplete) break;
    }
    if (!reader && end == BatchEnd::kComplete && !startReading()) end = BatchEnd::kWriteError;
    if (end == BatchEnd::kComplete && reader && !reader->Finish()) end = BatchEnd::kUnfinished;
    filler.Finish();
    if (pipeline.failed()) end = BatchEnd::kWriteError;
    if (filler.failed() && end != BatchEnd::kWriteError) end = BatchEnd::kScratchError;
    if (options.progress != nullptr) options.progress->Erase();
    if (StopSignal() != 0 && end != BatchEnd::kWriteError) return BatchEnd::kStopped;
    if (end == BatchEnd::kUnfinished) {
        std::fprintf(err,
                     "vessane-cli: %s:%zu : guillemet non fermé à la fin du fichier, "
                     "la ligne commencée ici est ignorée\n",
                     inputName, reader->recordLine());
    } else if (end == BatchEnd::kScratchError) {
        std::fprintf(err,
                     "vessane-cli: %s : impossible de mettre de côté une cellule longue "
                     "(fichier temporaire)\n",
                     inputName);
    }
    return end;
}

int RunBatch(std::FILE* in, std::FILE* out, std::FILE* err, const char* inputName, int jobs,
             bool headerNotice) {
    FileSource source(in);
    FileSink sink(out);
    BatchOptions options;
    options.jobs = jobs;
    options.headerNotice = headerNotice;
    switch (RunBatch(source, sink, err, inputName, options)) {
        case BatchEnd::kComplete:
            return 0;
        case BatchEnd::kReadError:
            return 2;
        default:
            return 1;
    }
}

}  // namespace vessane::cli
