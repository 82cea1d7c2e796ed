#include <string>

#include <gtest/gtest.h>

#include "model/Utf.h"

namespace {

using qxr::DecodeFileName;
using qxr::EncodeFileName;
using qxr::FromUtf8;
using qxr::ToUtf8;

TEST(UtfTest, WellFormedTextRoundTripsThroughBothEncodings)
{
    // One, two, three and four bytes in UTF-8; the last is a surrogate pair in UTF-16.
    const std::string utf8 = "A\xC2\xB5\xE2\x84\xA6\xF0\x9F\x98\x80";
    const std::u16string utf16 = u"A\u00B5\u2126\U0001F600";
    EXPECT_EQ(FromUtf8(utf8), utf16);
    EXPECT_EQ(ToUtf8(utf16), utf8);
    EXPECT_EQ(ToUtf8(FromUtf8("\xF4\x8F\xBF\xBF")), "\xF4\x8F\xBF\xBF");  // U+10FFFF, the last code point
}

TEST(UtfTest, UnpairedSurrogatesBecomeReplacementCharacters)
{
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(ToUtf8(std::u16string{u'a', char16_t(0xD800)}), "a" + replacement);
    EXPECT_EQ(ToUtf8(std::u16string{char16_t(0xDC00), u'b'}), replacement + "b");
    EXPECT_EQ(ToUtf8(std::u16string{char16_t(0xD800), char16_t(0xD800), char16_t(0xDC00)}),
              replacement + "\xF0\x90\x80\x80");
}

TEST(UtfTest, MalformedUtf8BecomesOneReplacementPerBadSequence)
{
    const struct {
        const char* utf8;
        std::u16string expected;
    } cases[] = {
        {"\x80", u"\uFFFD"},                                // stray continuation byte
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong '/': C0 can never start a character
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong three-byte form
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xE2\x84x", u"\uFFFDx"},                          // truncated, then a good character
        {"\xF0\x9F\x98", u"\uFFFD"},                        // truncated at the end
        {"\xFF", u"\uFFFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FromUtf8(c.utf8), c.expected) << ToUtf8(FromUtf8(c.utf8));
}

TEST(UtfTest, FileNamesKeepEveryByteThroughUtf16)
{
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte)
        everyByte.push_back(static_cast<char>(byte));
    const std::string names[] = {
        "design.qxr",      " lead and trail ", "a\nb.qxr",
        "caf\xC3\xA9.qxr", "\xFF\xFE.qxr",     "\xC3",
        "\xE2\x84x",       "\xED\xB2\x80",  // U+DC80, encoded
        "\xF0\x9F\x98",    "\xC3\xA9\xA9",     everyByte + everyByte,
    };
    for (const std::string& name : names)
        EXPECT_EQ(EncodeFileName(DecodeFileName(name)), name) << ToUtf8(FromUtf8(name));

    EXPECT_EQ(DecodeFileName("caf\xC3\xA9\n"), u"caf\u00E9\n");
    EXPECT_EQ(DecodeFileName("\xFF\xC3"), (std::u16string{char16_t(0xDCFF), char16_t(0xDCC3)}));
    // Unpaired surrogates that stand for no byte of a name: U+DC41 would be a byte below 0x80.
    EXPECT_EQ(EncodeFileName(std::u16string{char16_t(0xDC41), char16_t(0xD800)}), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
