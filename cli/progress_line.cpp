#include "progress_line.h"

#include <string>
#include <utility>

namespace vessane::cli {
namespace {

constexpr auto kFirstAfter = std::chrono::seconds(1);
constexpr auto kRedrawEvery = std::chrono::milliseconds(250);

// Tenths written with a point whatever the locale: "4.1".
std::string Tenths(std::uint64_t tenths) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string Duration(std::uint64_t seconds) {
    if (seconds < 60) return std::to_string(seconds) + " s";
    const std::uint64_t minutes = seconds / 60;
    if (minutes < 60)
        return std::to_string(minutes) + " min " + std::to_string(seconds % 60) + " s";
    return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* terminal, std::uint64_t totalBytes,
                           std::function<Clock::time_point()> now)
    : now_(std::move(now)), terminal_(terminal), totalBytes_(totalBytes), start_(now_()) {}

void ProgressLine::Update(std::uint64_t rows, std::uint64_t bytes) {
    const Clock::time_point now = now_();
    if (now - start_ < kFirstAfter || (drawnLength_ > 0 && now - lastDrawn_ < kRedrawEvery)) {
        return;
    }
    lastDrawn_ = now;
    const auto micros = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(now - start_).count());
    const std::uint64_t perSecond = rows * 1000000 / (micros == 0 ? 1 : micros);
    std::string line = "vessane-cli : " + std::to_string(rows) + " lignes, ";
    line += perSecond >= 1000000 ? Tenths(perSecond / 100000) + " M"
            : perSecond >= 1000  ? Tenths(perSecond / 100) + " k"
                                 : std::to_string(perSecond);
    line += " lignes/s";
    if (totalBytes_ > 0 && bytes > 0 && bytes <= totalBytes_) {
        line += ", " + std::to_string(bytes * 100 / totalBytes_) + " %";
        const std::uint64_t left = static_cast<std::uint64_t>(
            static_cast<double>(micros) / 1e6 * static_cast<double>(totalBytes_ - bytes) /
            static_cast<double>(bytes));
        line += ", reste " + Duration(left);
    }
    // Spaces over what a longer previous line left.
    const std::size_t length = line.size();
    if (length < drawnLength_) line.append(drawnLength_ - length, ' ');
    std::fprintf(terminal_, "\r%s", line.c_str());
    std::fflush(terminal_);
    drawnLength_ = length;
}

void ProgressLine::Erase() {
    if (drawnLength_ == 0) return;
    std::fprintf(terminal_, "\r%s\r", std::string(drawnLength_, ' ').c_str());
    std::fflush(terminal_);
    drawnLength_ = 0;
}

}  // namespace vessane::cli
