#pragma once

#include <stdexcept>
#include <string>

namespace qxr::cli {

enum ExitCode : int {
    kSuccess = 0,
    kFileError = 1,   // a design file could not be read or written, or the output failed
    kUsageError = 2,  // the command line asks for something that does not exist
};

// Stops the run: the message is printed after the program name, and the
// process ends with the code.
class Failure : public std::runtime_error {
public:
    Failure(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode Code() const { return code_; }

private:
    ExitCode code_;
};

}  // namespace qxr::cli
