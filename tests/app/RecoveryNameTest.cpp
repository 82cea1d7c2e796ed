#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "app/RecoveryName.h"

namespace {

using qxr::kMaxRecoveryNameBytes;
using qxr::RecoveryNameFromBytes;

// The writer puts the name's bytes into the file as they are, so every one of
// them comes back, a line break too.
TEST(RecoveryName, EveryByteOfANameComesBack)
{
    const std::string names[] = {"/home/user/a.qxr", "",
                                 "designs/a.qxr",    "/two\nlines.qxr\n",
                                 "/\xE9t\xE9.qxr",   std::string(kMaxRecoveryNameBytes, '/')};
    for (const std::string& name : names)
        EXPECT_EQ(RecoveryNameFromBytes(name), name) << name;
}

TEST(RecoveryName, BytesThatNoFileNameHoldsAreNone)
{
    EXPECT_EQ(RecoveryNameFromBytes(std::string("/a\0.qxr", 7)), std::nullopt);
    EXPECT_EQ(RecoveryNameFromBytes(std::string(kMaxRecoveryNameBytes + 1, '/')), std::nullopt);
}

}  // namespace
