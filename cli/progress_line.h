// The progress of a long batch on a terminal: one line on standard error, redrawn in
// place a few times a second once the run has lasted a second, erased at the end.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>

namespace vessane::cli {

class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    // totalBytes: the input's size when it is a regular file, else 0. now: the clock read,
    // replaceable so that a test sets the time instead of waiting for it.
    ProgressLine(std::FILE* terminal, std::uint64_t totalBytes,
                 std::function<Clock::time_point()> now = Clock::now);

    // Rows written and input bytes read so far.
    void Update(std::uint64_t rows, std::uint64_t bytes);
    // Leaves the terminal's line as it was before the first redraw.
    void Erase();

private:
    std::function<Clock::time_point()> now_;
    std::FILE* terminal_;
    std::uint64_t totalBytes_;
    Clock::time_point start_;
    Clock::time_point lastDrawn_;
    std::size_t drawnLength_ = 0;  // 0 while nothing is shown
};

}  // namespace vessane::cli
