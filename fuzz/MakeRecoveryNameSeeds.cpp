// Writes the seed inputs of the recovery name fuzz target: the .path files
// the program writes, and a damaged one. Run it again when the file changes:
//   cmake --build build-fuzz --target qxr_recovery_name_seeds
//   build-fuzz/fuzz/qxr_recovery_name_seeds fuzz/corpus/recovery-name
#include <string>

#include "SeedFiles.h"

int main(int argc, char** argv)
{
    return WriteSeedFiles(argc, argv,
                          {
                              {"absolute.path", "/home/user/designs/stage 300 W.qxr"},
                              {"relative.path", "designs/a.qxr"},
                              {"never-saved.path", ""},
                              {"line-break.path", "/home/user/two\nlines.qxr"},
                              {"not-utf-8.path", "/home/user/\xE9t\xE9.qxr"},
                              {"nul.path", std::string("/home/user/a\0b.qxr", 18)},
                          });
}
