#include "spill_file.h"

#include <string>

#include "windows_api.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#endif

namespace vessane::cli {
std::FILE* OpenScratchFile() {
#ifdef _WIN32
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) return nullptr;
    static unsigned made = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = std::string(folder) + "vessane-cell-" + std::to_string(_getpid()) +
                                 "-" + std::to_string(made++) + ".tmp";
        const int fd = _open(path.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_TEMPORARY,
                             _S_IREAD | _S_IWRITE);
        if (fd != -1) return _fdopen(fd, "w+b");
    }
    return nullptr;
#else
    return std::tmpfile();
#endif
}

SpillFile::~SpillFile() {
    if (file_ != nullptr) std::fclose(file_);
}

bool SpillFile::Append(const char* text, std::size_t count) {
    if (file_ == nullptr && (file_ = OpenScratchFile()) == nullptr) return false;
    size_ += count;
    return std::fwrite(text, 1, count, file_) == count;
}

bool SpillFile::Rewind() {
    return file_ != nullptr && std::fflush(file_) == 0 && std::fseek(file_, 0, SEEK_SET) == 0;
}

std::size_t SpillFile::Read(char* buffer, std::size_t count) {
    return std::fread(buffer, 1, count, file_);
}

void SpillFile::Clear() {
    if (file_ != nullptr) std::fseek(file_, 0, SEEK_SET);
    size_ = 0;
}

}  // namespace vessane::cli
