#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// Another program run to its end: its input given at once, its output read
// back, within a time and a size limit, so that a program that hangs or
// floods cannot take this one with it.
namespace qxr {

struct ChildLimits {
    std::chrono::milliseconds timeout{30000};
    std::size_t outputCap = 64 * 1024 * 1024;  // bytes of stdout; stderr keeps its last 64 KiB
};

struct ChildResult {
    bool started = false;   // false: the program could not be run at all (why: in error)
    bool timedOut = false;  // stopped at the time limit
    bool capped = false;    // stopped when its output passed the cap
    int exitCode = -1;      // its exit status; -1 when it did not exit by itself
    std::string out;
    std::string error;  // its stderr, or why it could not be run

    bool Succeeded() const { return started && !timedOut && !capped && exitCode == 0; }
};

// Runs program with the arguments (argv[0] is the program), input on its
// stdin, in workingFolder (this program's own when empty), and waits for it
// within the limits; on a limit it is killed with every process it started.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments, const std::string& input,
                     const ChildLimits& limits = {}, const std::string& workingFolder = {});

// The folder of the running program, or empty when it cannot be told.
std::string OwnFolder();

// A folder of its own under the system's temporary folder, readable by this
// user alone, removed with everything in it when the object goes.
class PrivateFolder {
public:
    PrivateFolder();  // Path() is empty when it could not be made (why: Error())
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }

private:
    std::string path_, error_;
};

}  // namespace qxr
