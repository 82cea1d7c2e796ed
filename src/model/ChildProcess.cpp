#include "model/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qxr {

namespace {

constexpr std::size_t kErrorTail = 64 * 1024;

// A file descriptor closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Close(); }

    int Get() const { return fd_; }
    void Reset(int fd)
    {
        Close();
        fd_ = fd;
    }
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

struct Channel {
    Descriptor parent;  // the end this program keeps
    Descriptor child;   // the end that becomes the child's stdin, stdout or stderr
};

// The input goes through a socket, so that writing to a child that has
// stopped reading fails with EPIPE instead of raising SIGPIPE here.
bool MakeInputChannel(Channel& channel)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return false;
    channel.parent.Reset(ends[0]);
    channel.child.Reset(ends[1]);
    return true;
}

bool MakeOutputChannel(Channel& channel)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    channel.parent.Reset(ends[0]);
    channel.child.Reset(ends[1]);
    return true;
}

void SetNonBlocking(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

struct Exchange {
    const std::string& input;
    std::size_t written = 0;
    ChildResult& result;
    std::size_t outputCap;
};

// Moves what is ready: input to the child, its stdout and stderr back.
// False once the output passed the cap.
bool Pump(Exchange& exchange, pollfd (&fds)[3], Channel& in, Channel& out, Channel& err)
{
    char buffer[65536];
    if (fds[0].revents & (POLLOUT | POLLERR | POLLHUP)) {
        const std::size_t left = exchange.input.size() - exchange.written;
        const ssize_t sent = ::send(in.parent.Get(), exchange.input.data() + exchange.written,
                                    std::min<std::size_t>(left, sizeof buffer), MSG_NOSIGNAL);
        if (sent > 0)
            exchange.written += static_cast<std::size_t>(sent);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            exchange.written = exchange.input.size();  // the child will not read the rest
        if (exchange.written == exchange.input.size()) {
            in.parent.Close();
            fds[0].fd = -1;
        }
    }
    for (int i : {1, 2}) {
        if (!(fds[i].revents & (POLLIN | POLLERR | POLLHUP)))
            continue;
        const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
            (i == 1 ? out : err).parent.Close();
            fds[i].fd = -1;
        } else if (got > 0) {
            std::string& text = i == 1 ? exchange.result.out : exchange.result.error;
            text.append(buffer, static_cast<std::size_t>(got));
            if (i == 2 && text.size() > 2 * kErrorTail)
                text.erase(0, text.size() - kErrorTail);
            if (i == 1 && text.size() > exchange.outputCap)
                return false;
        }
    }
    return true;
}

// The child leads a process group of its own, so that a time-out ends
// whatever it started too (a script's own children).
pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments, const std::string& workingFolder,
            Channel& in, Channel& out, Channel& err, std::string& why)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.child.Get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out.child.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.child.Get(), STDERR_FILENO);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        why = program + ": " + std::strerror(failed);
        return -1;
    }
    return pid;
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments, const std::string& input,
                     const ChildLimits& limits, const std::string& workingFolder)
{
    ChildResult result;
    Channel in, out, err;
    if (!MakeInputChannel(in) || !MakeOutputChannel(out) || !MakeOutputChannel(err)) {
        result.error = std::string("cannot run ") + program + ": " + std::strerror(errno);
        return result;
    }
    const pid_t pid = Spawn(program, arguments, workingFolder, in, out, err, result.error);
    if (pid < 0)
        return result;
    result.started = true;
    for (Channel* channel : {&in, &out, &err}) {
        channel->child.Close();
        SetNonBlocking(channel->parent.Get());
    }
    if (input.empty())
        in.parent.Close();

    Exchange exchange{input, 0, result, limits.outputCap};
    pollfd fds[3] = {{in.parent.Get(), POLLOUT, 0}, {out.parent.Get(), POLLIN, 0}, {err.parent.Get(), POLLIN, 0}};
    const auto deadline = std::chrono::steady_clock::now() + limits.timeout;
    while (fds[1].fd >= 0 || fds[2].fd >= 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            break;
        }
        if (::poll(fds, 3, static_cast<int>(left.count())) < 0 && errno != EINTR)
            break;
        if (!Pump(exchange, fds, in, out, err)) {
            result.capped = true;
            break;
        }
    }
    int status = 0;
    if (result.timedOut || result.capped)
        ::kill(-pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!result.timedOut && !result.capped && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}

std::string OwnFolder()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}

PrivateFolder::PrivateFolder()
{
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "qxr-XXXXXX").string();
    if (error) {
        error_ = "no temporary folder: " + error.message();
        return;
    }
    if (::mkdtemp(pattern.data()) == nullptr) {
        error_ = pattern + ": " + std::strerror(errno);
        return;
    }
    path_ = pattern;
}

PrivateFolder::~PrivateFolder()
{
    std::error_code ignored;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ignored);
}

}  // namespace qxr
