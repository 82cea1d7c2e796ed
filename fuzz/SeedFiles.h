#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "model/FileBytes.h"

// One seed input of a fuzz target, named for what it shows.
struct SeedFile {
    const char* name;
    std::string bytes;
};

// The main of a seed maker: writes the seeds into the folder its one argument names.
inline int WriteSeedFiles(int argc, char** argv, const std::vector<SeedFile>& seeds)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    for (const SeedFile& seed : seeds) {
        if (!WriteFileBytesAtomically(folder / seed.name, std::vector<uint8_t>(seed.bytes.begin(), seed.bytes.end()))) {
            std::fprintf(stderr, "cannot write %s\n", (folder / seed.name).c_str());
            return 1;
        }
    }
    return 0;
}
