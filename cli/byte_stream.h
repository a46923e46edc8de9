// Where a batch reads its CSV from and writes its rows to: a file descriptor for the
// program, a C stream for tests and fuzzing.
#pragma once

#include <cstddef>
#include <cstdio>

namespace vessane::cli {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Bytes read into buffer: 0 at the end of input, -1 on an error or when a stop
    // signal interrupted the wait.
    virtual long Read(char* buffer, std::size_t size) = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all of text; false on an error (errorNumber() says which).
    virtual bool Write(const char* text, std::size_t size) = 0;
    int errorNumber() const { return errorNumber_; }

protected:
    int errorNumber_ = 0;
};

// Reads a file descriptor; a wait interrupted by a stop signal ends the input.
class FdSource final : public ByteSource {
public:
    explicit FdSource(int fd) : fd_(fd) {}
    long Read(char* buffer, std::size_t size) override;

private:
    int fd_;
};

// Writes a file descriptor whole, whatever signals arrive: a block of rows is never cut.
class FdSink final : public ByteSink {
public:
    explicit FdSink(int fd) : fd_(fd) {}
    bool Write(const char* text, std::size_t size) override;

private:
    int fd_;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(std::FILE* file) : file_(file) {}
    long Read(char* buffer, std::size_t size) override;

private:
    std::FILE* file_;
};

class FileSink final : public ByteSink {
public:
    explicit FileSink(std::FILE* file) : file_(file) {}
    bool Write(const char* text, std::size_t size) override;

private:
    std::FILE* file_;
};

}  // namespace vessane::cli
