#pragma once

#include "designmap/DesignMap.h"

// Options that spread a map over the given number of threads, the rest as by default.
inline qxr::DesignMapOptions OnThreads(unsigned threads)
{
    qxr::DesignMapOptions options;
    options.threads = threads;
    return options;
}
