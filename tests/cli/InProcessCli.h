#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/Run.h"

// What one run of qxr-cli gave.
struct CliResult {
    int exitCode;
    std::string out;
    std::string err;
};

// The command line run in this process, the way main() runs it.
inline CliResult RunInProcess(const std::vector<std::string>& args)
{
    std::vector<const char*> argv{"qxr-cli"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    argv.push_back(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = qxr::cli::Run(static_cast<int>(args.size() + 1), argv.data(), out, err);
    return {exitCode, out.str(), err.str()};
}
