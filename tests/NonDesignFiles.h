#pragma once

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "model/FileBytes.h"

// Files that are not what a design file is, for the tests of every front end.
namespace non_design_files {

namespace fs = std::filesystem;

inline bool MakeFifo(const fs::path& path)
{
    return ::mkfifo(path.c_str(), 0644) == 0;
}

// A socket file stays behind when the socket that bound it is closed.
inline bool MakeSocket(const fs::path& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof address.sun_path)
        return false;
    std::strcpy(address.sun_path, path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

// A file of the given size that takes no disk space.
inline bool MakeSparseFile(const fs::path& path, off_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    const bool sized = fd >= 0 && ::ftruncate(fd, size) == 0;
    ::close(fd);
    return sized;
}

// A null device of our own, so that no test can damage the system's; only
// root may make one.
inline bool MakeNullDevice(const fs::path& path)
{
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

struct UnreadableInput {
    std::string what;
    fs::path path;
    int reason;  // the system's reason ReadFileBytes gives, 0 where it refuses the file itself
};

// Everything a design cannot be read from; the FIFO, socket and sparse file
// are made in folder.
// Each one would block or read without end if it were opened and read as a
// regular file is.
inline std::vector<UnreadableInput> MakeUnreadableInputs(const fs::path& folder)
{
    const fs::path fifo = folder / "fifo.qxr";
    const fs::path socket = folder / "socket.qxr";
    const fs::path sparse = folder / "sparse.qxr";
    EXPECT_TRUE(MakeFifo(fifo)) << std::strerror(errno);
    EXPECT_TRUE(MakeSocket(socket)) << std::strerror(errno);
    EXPECT_TRUE(MakeSparseFile(sparse, static_cast<off_t>(kMaxFileBytes) + 1)) << std::strerror(errno);
    return {
        {"a folder", folder, EISDIR},
        {"a FIFO without a writer", fifo, 0},
        {"a UNIX socket", socket, 0},
        {"an empty character device", "/dev/null", 0},
        {"an endless character device", "/dev/zero", 0},
        {"a sparse file above the limit", sparse, 0},
        // Its size says 0, and it holds far more than the limit, as a file
        // that grows while it is read would.
        {"a file longer than its size says", "/proc/self/pagemap", 0},
    };
}

}  // namespace non_design_files
