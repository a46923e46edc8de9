#include "byte_stream.h"

#include <cerrno>
#include <climits>

#include "stop_signals.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vessane::cli {
namespace {

// At most this much per call: Windows' _read and _write take an unsigned int.
constexpr std::size_t kMaxCall = std::size_t{1} << 30;

}  // namespace

long FdSource::Read(char* buffer, std::size_t size) {
    if (size > kMaxCall) size = kMaxCall;
    for (;;) {
#ifdef _WIN32
        const long count = _read(fd_, buffer, static_cast<unsigned>(size));
#else
        const long count = static_cast<long>(::read(fd_, buffer, size));
#endif
        if (count >= 0) return count;
        if (errno != EINTR || StopSignal() != 0) return -1;
    }
}

bool FdSink::Write(const char* text, std::size_t size) {
    while (size > 0) {
        const std::size_t chunk = size < kMaxCall ? size : kMaxCall;
#ifdef _WIN32
        const long count = _write(fd_, text, static_cast<unsigned>(chunk));
#else
        const long count = static_cast<long>(::write(fd_, text, chunk));
#endif
        if (count < 0) {
            if (errno == EINTR) continue;  // finish the block; the stop is seen after it
            errorNumber_ = errno;
            return false;
        }
        text += count;
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

long FileSource::Read(char* buffer, std::size_t size) {
    const std::size_t count = std::fread(buffer, 1, size, file_);
    if (count == 0 && std::ferror(file_)) return -1;
    return static_cast<long>(count);
}

bool FileSink::Write(const char* text, std::size_t size) {
    if (std::fwrite(text, 1, size, file_) == size && std::fflush(file_) == 0) return true;
    errorNumber_ = errno;
    return false;
}

}  // namespace vessane::cli
