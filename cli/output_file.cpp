#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "windows_api.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace vessane::cli {
namespace {

std::string FolderOf(const std::string& path) {
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("/\\:");
#else
    const std::size_t slash = path.find_last_of('/');
#endif
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    return path.substr(FolderOf(path).size());
}

}  // namespace

OutputFile::~OutputFile() {
    Discard();
}

#ifdef _WIN32

namespace {

// A name Windows gives a device in every folder (NUL, CON, COM1...: the name before any
// extension), or a named pipe: written to directly, never replaced.
bool IsDeviceOrPipe(const std::string& path) {
    if (path.rfind("\\\\.\\", 0) == 0 || path.rfind("//./", 0) == 0) return true;
    std::string name = NameOf(path);
    name = name.substr(0, name.find('.'));
    while (!name.empty() && (name.back() == ' ')) name.pop_back();
    for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    static const char* const kDevices[] = {"NUL", "CON", "PRN", "AUX", "CONOUT$",
                                           "COM1", "COM2", "COM3", "COM4", "LPT1", "LPT2", "LPT3"};
    for (const char* device : kDevices) {
        if (name == device) return true;
    }
    return false;
}

}  // namespace

bool OutputFile::Open(const std::string& path) {
    path_ = path;
    if (IsDeviceOrPipe(path)) {
        direct_ = true;
        fd_ = _open(path.c_str(), _O_WRONLY | _O_BINARY);
        return fd_ != -1;
    }
    static unsigned made = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = FolderOf(path) + "." + NameOf(path) + "." + std::to_string(_getpid()) + "-" +
                     std::to_string(made++) + ".tmp";
        fd_ = _open(temporary_.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                    _S_IREAD | _S_IWRITE);
        if (fd_ != -1 || errno != EEXIST) break;
    }
    if (fd_ == -1) temporary_.clear();
    return fd_ != -1;
}

bool OutputFile::Commit() {
    if (direct_) {
        const bool closed = _close(fd_) == 0;
        fd_ = -1;
        return closed;
    }
    const bool written = _commit(fd_) == 0;
    const bool closed = _close(fd_) == 0;
    fd_ = -1;
    if (written && closed) {
        if (MoveFileExA(temporary_.c_str(), path_.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            temporary_.clear();
            return true;
        }
        errno = EACCES;
    }
    const int error = errno;
    Discard();
    errno = error;
    return false;
}

void OutputFile::Discard() {
    if (fd_ != -1) _close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) _unlink(temporary_.c_str());
    temporary_.clear();
}

bool IsSameFile(int fd, const std::string& path) {
    BY_HANDLE_FILE_INFORMATION read = {};
    BY_HANDLE_FILE_INFORMATION written = {};
    const auto input = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (input == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(input, &read)) return false;
    const HANDLE output =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (output == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(output, &written);
    CloseHandle(output);
    return known && read.dwVolumeSerialNumber == written.dwVolumeSerialNumber &&
           read.nFileIndexHigh == written.nFileIndexHigh &&
           read.nFileIndexLow == written.nFileIndexLow;
}

#else

namespace {

// The descriptor a path names, as /dev/stdout, /dev/fd/N or /proc/self/fd/N do, or -1:
// such a path is the program's own open file (a shell's "> file" or ">> file"), written
// where it stands and never replaced.
int DescriptorNamed(const std::string& path) {
    if (path == "/dev/stdout") return 1;
    if (path == "/dev/stderr") return 2;
    const std::string self = "/proc/" + std::to_string(getpid()) + "/fd/";
    for (const std::string& prefix : {std::string("/dev/fd/"), std::string("/proc/self/fd/"), self}) {
        if (path.rfind(prefix, 0) != 0 || path.size() == prefix.size()) continue;
        int fd = 0;
        for (std::size_t i = prefix.size(); i < path.size(); ++i) {
            if (path[i] < '0' || path[i] > '9' || fd > 100000) return -1;
            fd = fd * 10 + (path[i] - '0');
        }
        return fd;
    }
    return -1;
}

// The file a path names once every symbolic link is followed, even one whose target does
// not exist yet (it is then created there); stops at a path that names a descriptor.
// false with errno set on a loop.
bool FollowLinks(std::string& path) {
    for (int links = 0; links < 40; ++links) {
        if (DescriptorNamed(path) >= 0) return true;
        struct stat status;
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return true;
        std::string target(static_cast<std::size_t>(status.st_size) + 256, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0) return false;
        target.resize(static_cast<std::size_t>(length));
        path = target[0] == '/' ? target : FolderOf(path) + target;
    }
    errno = ELOOP;
    return false;
}

// Connects to a listening local socket, as writing to its name means.
int ConnectSocket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    path.copy(address.sun_path, path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd == -1) return -1;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

}  // namespace

bool OutputFile::Open(const std::string& path) {
    path_ = path;
    if (!FollowLinks(path_)) return false;
    if (const int named = DescriptorNamed(path_); named >= 0) {
        direct_ = true;
        fd_ = fcntl(named, F_DUPFD_CLOEXEC, 3);
        return fd_ != -1;
    }
    struct stat existing;
    const bool exists = stat(path_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        errno = EISDIR;
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        direct_ = true;
        fd_ = S_ISSOCK(existing.st_mode) ? ConnectSocket(path_)
                                         : open(path_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        return fd_ != -1;
    }
    temporary_ = FolderOf(path_) + "." + NameOf(path_) + ".XXXXXX";
    fd_ = mkstemp(temporary_.data());
    if (fd_ == -1) {
        temporary_.clear();
        return false;
    }
    // The permissions a file made by the program would have, or those of the file
    // replaced (mkstemp gives 0600).
    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(fd_, mode);
    return true;
}

bool OutputFile::Commit() {
    if (direct_) {
        const bool closed = close(fd_) == 0;
        fd_ = -1;
        return closed;
    }
    const bool written = fsync(fd_) == 0;
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    if (!written || !closed || std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        Discard();
        errno = error;
        return false;
    }
    temporary_.clear();
    // The new name on disk too.
    const std::string folder = FolderOf(path_);
    const int directory = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (directory != -1) {
        fsync(directory);
        close(directory);
    }
    return true;
}

void OutputFile::Discard() {
    if (fd_ != -1) close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
}

bool IsSameFile(int fd, const std::string& path) {
    struct stat read;
    struct stat written;
    return fstat(fd, &read) == 0 && stat(path.c_str(), &written) == 0 &&
           read.st_dev == written.st_dev && read.st_ino == written.st_ino;
}

#endif

}  // namespace vessane::cli
