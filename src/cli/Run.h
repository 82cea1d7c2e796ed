#pragma once

#include <ostream>

namespace qxr::cli {

// The whole program: reads the command line, prepares the design, prints the
// command's output to out and problems to err; returns the exit code.
int Run(int argc, const char* const argv[], std::ostream& out, std::ostream& err);

}  // namespace qxr::cli
