// Writes the seed inputs of the instance channel fuzz target: what a second
// start sends, back to back, cut short and damaged. Run it again when the
// message changes:
//   cmake --build build-fuzz --target qxr_instance_message_seeds
//   build-fuzz/fuzz/qxr_instance_message_seeds fuzz/corpus/instance-message
#include <string>

#include "SeedFiles.h"
#include "app/InstanceMessage.h"

using qxr::InstanceMessage;

int main(int argc, char** argv)
{
    const std::string design = InstanceMessage("/home/user/designs/stage 300 W.qxr");
    return WriteSeedFiles(argc, argv,
                          {
                              {"one-name", design},
                              {"two-names", design + InstanceMessage("/tmp/b.qxr")},
                              {"not-utf-8", InstanceMessage("/home/user/\xE9t\xE9.qxr")},
                              {"cut-short", design.substr(0, design.size() - 3)},
                              {"relative", InstanceMessage("designs/a.qxr")},
                              {"too-long", std::string("\x00\x01\x00\x01/", 5)},
                          });
}
