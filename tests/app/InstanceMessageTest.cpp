#include <cstddef>
#include <string>

#include <gtest/gtest.h>

#include "app/InstanceMessage.h"

namespace {

using namespace qxr;
using Status = TakenMessage::Status;

std::string Bytes(const char* text, std::size_t size)
{
    return std::string(text, size);
}

TEST(InstanceMessage, TheLengthComesFirstBigEndian)
{
    EXPECT_EQ(InstanceMessage("/a"), Bytes("\0\0\0\2/a", 6));
    const std::string name = "/" + std::string(299, 'x');
    EXPECT_EQ(InstanceMessage(name), Bytes("\0\0\x01\x2C", 4) + name);
}

struct TakeCase {
    const char* what;
    std::string bytes;
    Status status;
    std::size_t size;
    std::string name;
};

TEST(InstanceMessage, TakesOneWholeMessageFromTheFront)
{
    const std::string longest = "/" + std::string(kMaxInstanceNameBytes - 1, 'n');
    const std::string tooLong = longest + "n";
    const TakeCase cases[] = {
        {"a message", InstanceMessage("/d/a.qxr"), Status::Name, 12, "/d/a.qxr"},
        {"the first of two", InstanceMessage("/a") + InstanceMessage("/b"), Status::Name, 6, "/a"},
        {"bytes that are not UTF-8", InstanceMessage("/\xE9t\xE9"), Status::Name, 8, "/\xE9t\xE9"},
        {"a line break", InstanceMessage("/two\nlines"), Status::Name, 14, "/two\nlines"},
        {"the longest name", InstanceMessage(longest), Status::Name, kInstanceLengthBytes + longest.size(), longest},
        {"nothing", "", Status::Incomplete, 0, ""},
        {"part of the length", Bytes("\0\0\0", 3), Status::Incomplete, 0, ""},
        {"a name cut short", InstanceMessage("/d/a.qxr").substr(0, 11), Status::Incomplete, 0, ""},
        {"a length of 0", Bytes("\0\0\0\0/a", 6), Status::Malformed, 0, ""},
        {"a name too long, at its length", InstanceMessage(tooLong).substr(0, 4), Status::Malformed, 0, ""},
        {"a relative name", InstanceMessage("d/a.qxr"), Status::Malformed, 0, ""},
        {"a NUL byte", InstanceMessage(Bytes("/d\0a", 4)), Status::Malformed, 0, ""},
    };
    for (const TakeCase& c : cases) {
        SCOPED_TRACE(c.what);
        const TakenMessage taken = TakeInstanceMessage(c.bytes);
        EXPECT_EQ(taken.status, c.status);
        EXPECT_EQ(taken.size, c.size);
        EXPECT_EQ(taken.name, c.name);
    }
}

}  // namespace
