#include "model/FileBytes.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string>
#include <system_error>

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

// A regular file within the limit. For anything else, reason is EISDIR for a
// folder and 0 otherwise.
bool MayBeRead(const struct stat& status, std::size_t maxBytes, int& reason)
{
    reason = S_ISDIR(status.st_mode) ? EISDIR : 0;
    return S_ISREG(status.st_mode) && static_cast<uintmax_t>(status.st_size) <= maxBytes;
}

fs::path FolderOf(const fs::path& path)
{
    const fs::path folder = path.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// The longest name the folder takes.
std::size_t NameLimit(const fs::path& folder)
{
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
}

// ".<name>.<pid>-<attempt>.tmp", with as much of the name as the limit leaves room for.
fs::path TemporaryName(const fs::path& target, int attempt, std::size_t nameLimit)
{
    const std::string suffix = "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
    std::string name = target.filename().string();
    name.resize(std::min(name.size(), nameLimit - std::min(nameLimit, suffix.size() + 1)));
    return FolderOf(target) / ("." + name + suffix);
}

// A new file under a hidden name beside the target that no other save uses at
// the same time; temporary receives its name, or nothing when none was made.
int CreateTemporaryBeside(const fs::path& target, mode_t mode, fs::path& temporary)
{
    const std::size_t nameLimit = NameLimit(FolderOf(target));
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryName(target, attempt, nameLimit);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    temporary.clear();
    return -1;
}

// Makes the rename itself durable. The file has been replaced by then, so a
// folder that cannot be synced (some file systems refuse) does not undo it.
void SyncFolder(const fs::path& folder)
{
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsOpen())
        ::fsync(directory.Get());
}

// The file written to until it replaces the target; removed unless it did.
class TemporaryFile {
public:
    TemporaryFile(const fs::path& target, mode_t mode)
        : target_(target), file_(CreateTemporaryBeside(target, mode, path_))
    {
    }
    ~TemporaryFile()
    {
        if (!path_.empty() && !replaced_)
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsOpen() const { return file_.IsOpen(); }
    int Get() const { return file_.Get(); }

    // Writes the bytes, flushes them to the disk and renames the file over the target.
    bool Replace(const std::vector<uint8_t>& bytes)
    {
        replaced_ = WriteAll(file_.Get(), bytes.data(), bytes.size()) && ::fsync(file_.Get()) == 0 && file_.Close() &&
                    ::rename(path_.c_str(), target_.c_str()) == 0;
        if (replaced_)
            SyncFolder(FolderOf(target_));
        return replaced_;
    }

private:
    fs::path target_;
    fs::path path_;  // declared before file_, whose creation names it
    FileDescriptor file_;
    bool replaced_ = false;
};

// Links followed before a save gives up, as the system does when it opens a path.
constexpr int kMaxLinkHops = 40;

// The file a save writes: the path itself or, for a symbolic link, where the
// chain of links ends, which need not exist yet. Nothing for a loop of links.
std::optional<fs::path> FinalTarget(fs::path path)
{
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        std::error_code notALink;
        const fs::path link = fs::read_symlink(path, notALink);
        if (notALink)
            return path;
        path = FolderOf(path) / link;  // an absolute link replaces the folder
    }
    return std::nullopt;
}

// The file that was looked at, not one put in its place since.
bool IsSameFile(int fd, const struct stat& expected)
{
    struct stat status {};
    return ::fstat(fd, &status) == 0 && status.st_dev == expected.st_dev && status.st_ino == expected.st_ino;
}

bool Overwrite(int fd, const std::vector<uint8_t>& bytes)
{
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes.data(), bytes.size()) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// For a file whose other hard links must see the new content, or in a folder
// that takes no new file. Not atomic: the old content is kept and written
// back when the new cannot be written whole, so a file too large to keep is
// refused.
bool RewriteInPlace(const fs::path& target, const struct stat& existing, const std::vector<uint8_t>& bytes)
{
    FileDescriptor file(::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.IsOpen() || !IsSameFile(file.Get(), existing))
        return false;
    int unreadable = 0;
    const auto old = ReadUpTo(file.Get(), kMaxFileBytes, unreadable);
    if (!old)
        return false;
    if (Overwrite(file.Get(), bytes))
        return true;
    Overwrite(file.Get(), *old);
    return false;
}

// The replacement keeps the file's owner and group where the system lets this
// process set them, then its permission bits, which a change of owner clears
// in part.
bool TakeOverOwnerAndMode(int fd, const struct stat& existing)
{
    const bool ownerKept = ::fchown(fd, existing.st_uid, existing.st_gid) == 0;
    const bool groupKept = ownerKept || ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid) == 0;
    static_cast<void>(groupKept);  // without either the file has this process's owner and group, as a new one would
    return ::fchmod(fd, existing.st_mode & 07777) == 0;
}

bool ReplaceFile(const fs::path& target, const struct stat& existing, const std::vector<uint8_t>& bytes)
{
    // Open to the owner only until it has the file's own permissions.
    TemporaryFile file(target, S_IRUSR | S_IWUSR);
    if (!file.IsOpen())  // the folder takes no new file; the file itself may still be written
        return RewriteInPlace(target, existing, bytes);
    return TakeOverOwnerAndMode(file.Get(), existing) && file.Replace(bytes);
}

bool CreateFile(const fs::path& target, const std::vector<uint8_t>& bytes)
{
    // Like any new file: 0666 less the umask.
    TemporaryFile file(target, 0666);
    return file.IsOpen() && file.Replace(bytes);
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadFileBytes(const fs::path& path, int& reason, std::size_t maxBytes)
{
    maxBytes = std::min(maxBytes, kMaxFileBytes);
    // What the file is, is known before it is opened: opening a device runs
    // its driver, which can have effects of its own.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        reason = errno;
        return std::nullopt;
    }
    if (!MayBeRead(status, maxBytes, reason))
        return std::nullopt;
    // Should a FIFO have taken the file's place since, opening it does not wait for a writer.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.IsOpen()) {
        reason = errno;
        return std::nullopt;
    }
    if (::fstat(file.Get(), &status) != 0 || !MayBeRead(status, maxBytes, reason))
        return std::nullopt;
    return ReadUpTo(file.Get(), maxBytes, reason);
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const fs::path& path)
{
    int reason = 0;
    return ReadFileBytes(path, reason);
}

bool WriteFileBytesAtomically(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    const std::optional<fs::path> target = FinalTarget(path);
    if (!target)
        return false;
    struct stat existing {};
    if (::lstat(target->c_str(), &existing) != 0)
        return errno == ENOENT && CreateFile(*target, bytes);
    // A rename would replace a file that its permissions protect.
    if (!S_ISREG(existing.st_mode) || ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    if (existing.st_nlink > 1)
        return RewriteInPlace(*target, existing, bytes);
    return ReplaceFile(*target, existing, bytes);
}
