#include "model/Utf.h"

#include <cstddef>
#include <cstdint>

namespace qxr {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t c)
{
    const auto put = [&out](char32_t byte) { out.push_back(static_cast<char>(byte)); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | c >> 6);
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | c >> 12);
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | c >> 18);
        put(0x80 | (c >> 12 & 0x3F));
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 | c >> 10));
    out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
}

// What a lead byte promises: how many continuation bytes follow, the bits it
// carries, and the range the first continuation byte must lie in. The narrow
// ranges after E0, ED, F0 and F4 rule out overlong forms, surrogates and
// code points beyond U+10FFFF.
struct LeadByte {
    int continuationCount;
    char32_t bits;
    uint8_t firstMin = 0x80;
    uint8_t firstMax = 0xBF;
};

bool ClassifyLead(uint8_t lead, LeadByte& info)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        info = {1, lead & 0x1Fu};
    else if (lead >= 0xE0 && lead <= 0xEF)
        info = {2, lead & 0x0Fu, uint8_t(lead == 0xE0 ? 0xA0 : 0x80), uint8_t(lead == 0xED ? 0x9F : 0xBF)};
    else if (lead >= 0xF0 && lead <= 0xF4)
        info = {3, lead & 0x07u, uint8_t(lead == 0xF0 ? 0x90 : 0x80), uint8_t(lead == 0xF4 ? 0x8F : 0xBF)};
    else
        return false;
    return true;
}

// Marks a malformed sequence; no code point is this large.
constexpr char32_t kMalformed = 0xFFFFFFFF;

// Decodes the character at text[next] and moves next past it. A malformed
// sequence stops at the first byte that does not fit, which is read again as
// the start of the next character.
char32_t DecodeUtf8(std::string_view text, std::size_t& next)
{
    const auto byteAt = [&text](std::size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byteAt(next++);
    if (lead < 0x80)
        return lead;
    LeadByte info{};
    if (!ClassifyLead(lead, info))
        return kMalformed;
    char32_t c = info.bits;
    uint8_t min = info.firstMin;
    uint8_t max = info.firstMax;
    for (int k = 0; k < info.continuationCount; ++k) {
        if (next == text.size() || byteAt(next) < min || byteAt(next) > max)
            return kMalformed;
        c = c << 6 | (byteAt(next++) & 0x3Fu);
        min = 0x80;
        max = 0xBF;
    }
    return c;
}

// UTF-16 of well-formed UTF-8; each malformed sequence goes to malformed(out, bytes).
template <class Malformed>
std::u16string DecodeText(std::string_view text, Malformed malformed)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t next = 0; next < text.size();) {
        const std::size_t start = next;
        const char32_t c = DecodeUtf8(text, next);
        if (c == kMalformed)
            malformed(out, text.substr(start, next - start));
        else
            AppendUtf16(out, c);
    }
    return out;
}

// UTF-8 of UTF-16; each unpaired surrogate goes to unpaired(out, unit).
template <class Unpaired>
std::string EncodeText(std::u16string_view text, Unpaired unpaired)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00u));
        else if (IsHighSurrogate(unit) || IsLowSurrogate(unit))
            unpaired(out, unit);
        else
            AppendUtf8(out, unit);
    }
    return out;
}

// A byte of a file name that is not UTF-8 stands for itself as U+DC80..U+DCFF.
constexpr char32_t kEscapedByteBase = 0xDC00;

bool IsEscapedByte(char32_t unit)
{
    return unit >= kEscapedByteBase + 0x80 && unit <= kEscapedByteBase + 0xFF;
}

}  // namespace

std::string ToUtf8(std::u16string_view text)
{
    return EncodeText(text, [](std::string& out, char32_t) { AppendUtf8(out, kReplacement); });
}

std::u16string FromUtf8(std::string_view text)
{
    return DecodeText(text, [](std::u16string& out, std::string_view) { AppendUtf16(out, kReplacement); });
}

std::u16string DecodeFileName(std::string_view bytes)
{
    return DecodeText(bytes, [](std::u16string& out, std::string_view malformed) {
        for (const char byte : malformed)
            out.push_back(static_cast<char16_t>(kEscapedByteBase + static_cast<uint8_t>(byte)));
    });
}

std::string EncodeFileName(std::u16string_view name)
{
    return EncodeText(name, [](std::string& out, char32_t unit) {
        if (IsEscapedByte(unit))
            out.push_back(static_cast<char>(unit - kEscapedByteBase));
        else
            AppendUtf8(out, kReplacement);
    });
}

}  // namespace qxr
