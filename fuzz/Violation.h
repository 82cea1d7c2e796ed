#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// Ends the fuzz run on a broken promise, so that libFuzzer keeps the input.
inline void AbortOnViolation(const char* reader, const std::string& violation)
{
    if (violation.empty())
        return;
    std::fprintf(stderr, "%s: %s\n", reader, violation.c_str());
    std::abort();
}
