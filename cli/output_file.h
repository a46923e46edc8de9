// A batch's output file, written whole or not at all: rows go to a temporary file in
// the same folder, which replaces the file only once it is complete and on disk. A
// symbolic link is followed (its target is replaced, the link stays); what is not a
// plain file is written to directly, never replaced: a FIFO, a device, a socket, a path
// that names one of the program's descriptors (/dev/stdout, /dev/fd/N, /proc/self/fd/N:
// written where it stands, so "-o /dev/stdout >> log" appends), and on Windows NUL, CON
// and named pipes.
#pragma once

#include <string>

namespace vessane::cli {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();  // removes the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Makes the temporary file beside path (or opens what is not a plain file); false
    // with errno set if it cannot.
    bool Open(const std::string& path);
    int fd() const { return fd_; }
    // Flushes the temporary file to disk and renames it over the file; false with
    // errno set if any step fails (the temporary file is then removed).
    bool Commit();
    // Removes the temporary file: the file stays as it was.
    void Discard();

private:
    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    bool direct_ = false;  // written in place: not a plain file
};

// Whether the file at path is the one open as fd (same device and file number), so
// that writing it would destroy what is being read.
bool IsSameFile(int fd, const std::string& path);

}  // namespace vessane::cli
