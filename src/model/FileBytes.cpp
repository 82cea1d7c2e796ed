#include "model/FileBytes.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Closes the file when it goes out of scope, unless Close already did.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (IsOpen())
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    // Closing can report a write error that surfaced late, so it is checked.
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads from the current offset to the end. The size a file reports is only
// a hint: it may grow while it is read, and some files report none. Fails
// with reason 0 when there is more than maxBytes, else with errno.
std::optional<std::vector<uint8_t>> ReadUpTo(int fd, std::size_t maxBytes, int& reason)
{
    std::vector<uint8_t> bytes;
    uint8_t chunk[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count == 0)
            return bytes;
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            reason = errno;
            return std::nullopt;
        }
        if (static_cast<std::size_t>(count) > maxBytes - bytes.size()) {
            reason = 0;
            return std::nullopt;
        }
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
}

fs::path FolderOf(const fs::path& path)
{
    const fs::path folder = path.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// A hidden name beside the target that no other save uses at the same time.
// Created with the usual permissions of a new file (0666 less the umask).
int CreateTemporaryBeside(const fs::path& target, fs::path& temporary)
{
    const std::string prefix = "." + target.filename().string() + "." + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = FolderOf(target) / (prefix + std::to_string(attempt) + ".tmp");
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A file that is replaced keeps the permissions its owner gave it.
bool TakeOverPermissions(const fs::path& target, int fd)
{
    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0)
        return errno == ENOENT;
    return ::fchmod(fd, existing.st_mode & 07777) == 0;
}

// Makes the rename itself durable. The file has been replaced by then, so a
// folder that cannot be synced (some file systems refuse) does not undo it.
void SyncFolder(const fs::path& folder)
{
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsOpen())
        ::fsync(directory.Get());
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadFileBytes(const fs::path& path, int& reason)
{
    // Without O_NONBLOCK a FIFO would wait for a writer; what the file is, is
    // only known once it is open.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.IsOpen()) {
        // A socket cannot be opened at all; it is refused like the other kinds.
        reason = errno == ENXIO ? 0 : errno;
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) {
        reason = errno;
        return std::nullopt;
    }
    reason = S_ISDIR(status.st_mode) ? EISDIR : 0;
    if (!S_ISREG(status.st_mode) || static_cast<uintmax_t>(status.st_size) > kMaxFileBytes)
        return std::nullopt;
    return ReadUpTo(file.Get(), kMaxFileBytes, reason);
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const fs::path& path)
{
    int reason = 0;
    return ReadFileBytes(path, reason);
}

bool WriteFileBytesAtomically(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    fs::path temporary;
    FileDescriptor file(CreateTemporaryBeside(path, temporary));
    if (!file.IsOpen())
        return false;
    const bool replaced = TakeOverPermissions(path, file.Get())
        && WriteAll(file.Get(), bytes.data(), bytes.size())
        && ::fsync(file.Get()) == 0
        && file.Close()
        && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!replaced) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(FolderOf(path));
    return true;
}
