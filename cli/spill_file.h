// A scratch file for the text of a cell too long to hold while it is not yet known
// whether it must be quoted on its way out: memory stays bounded whatever the cell.
#pragma once

#include <cstddef>
#include <cstdio>

namespace vessane::cli {

// A temporary file for reading and writing, removed when closed; null if none could be
// made. Not tmpfile() on Windows: there it is made in the root folder of the drive,
// which an ordinary user may not write, and two programs running side by side may be
// handed the same name.
std::FILE* OpenScratchFile();

class SpillFile {
public:
    SpillFile() = default;
    ~SpillFile();
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;

    std::size_t size() const { return size_; }
    // False if the file could not be made or written.
    bool Append(const char* text, std::size_t count);
    // Goes back to the start for Read, which then hands back what was appended.
    bool Rewind();
    std::size_t Read(char* buffer, std::size_t count);
    // Empties the file for the next cell.
    void Clear();

private:
    std::FILE* file_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace vessane::cli
