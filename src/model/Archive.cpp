#include "model/Archive.h"

#include <cstring>
#include <limits>

namespace {

// Where an 8-bit length would say 0xFF, this 16-bit value announces a UTF-16 string.
constexpr uint16_t kWideMarker = 0xFFFE;

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. Its five unassigned
// bytes keep their C1 control code points, so no byte is ever lost.
// clang-format off
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

char16_t FromWindows1252(uint8_t byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kWindows1252High[byte - 0x80];
    return byte;
}

}  // namespace

const char* FileResultText(FileResult result)
{
    switch (result) {
    case FileResult::Ok:
        return "";
    case FileResult::UnexpectedFormat:
        return "Unexpected file format.";
    case FileResult::FailedToOpen:
        return "Failed to open document.";
    case FileResult::FailedToSave:
        return "Failed to save document.";
    }
    return "";
}

void ArchiveWriter::WriteInt32(int32_t value)
{
    WriteLittleEndian(static_cast<uint32_t>(value), 4);
}

void ArchiveWriter::WriteBool(bool value)
{
    WriteLittleEndian(value ? 1 : 0, 1);
}

void ArchiveWriter::WriteDouble(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    WriteLittleEndian(bits, 8);
}

void ArchiveWriter::WriteString(const std::u16string& text)
{
    WriteLittleEndian(0xFF, 1);
    WriteLittleEndian(kWideMarker, 2);
    WriteStringLength(text.size());
    for (char16_t unit : text)
        WriteLittleEndian(unit, 2);
}

void ArchiveWriter::WriteLittleEndian(uint64_t value, std::size_t byteCount)
{
    for (std::size_t i = 0; i < byteCount; ++i)
        out_.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The shortest field that holds the length; all ones in a field means the
// length follows in the next wider one.
void ArchiveWriter::WriteStringLength(uint64_t length)
{
    if (length < 0xFF) {
        WriteLittleEndian(length, 1);
        return;
    }
    WriteLittleEndian(0xFF, 1);
    if (length < 0xFFFE) {
        WriteLittleEndian(length, 2);
        return;
    }
    WriteLittleEndian(0xFFFF, 2);
    if (length < 0xFFFFFFFF) {
        WriteLittleEndian(length, 4);
        return;
    }
    WriteLittleEndian(0xFFFFFFFF, 4);
    WriteLittleEndian(length, 8);
}

int32_t ArchiveReader::ReadInt32()
{
    return static_cast<int32_t>(static_cast<uint32_t>(ReadLittleEndian(4)));
}

bool ArchiveReader::ReadBool()
{
    return ReadLittleEndian(1) != 0;
}

double ArchiveReader::ReadDouble()
{
    const uint64_t bits = ReadLittleEndian(8);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::u16string ArchiveReader::ReadString()
{
    const StringHeader header = ReadStringHeader();
    const uint8_t* bytes = Take(header.length, header.wide ? 2 : 1);
    std::u16string text(header.length, u'\0');
    for (std::size_t i = 0; i < header.length; ++i) {
        text[i] = header.wide ? static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8) : FromWindows1252(bytes[i]);
    }
    return text;
}

void ArchiveReader::ReadVersion(int32_t expected)
{
    if (ReadInt32() != expected)
        throw ArchiveError(FileResult::UnexpectedFormat);
}

// Checks the count against the bytes that remain before anything is read or
// sized from it; running out of data means the file ends early.
const uint8_t* ArchiveReader::Take(std::size_t count, std::size_t unitSize)
{
    const auto remaining = static_cast<std::size_t>(end_ - next_);
    if (count > remaining / unitSize)
        throw ArchiveError(FileResult::UnexpectedFormat);
    const uint8_t* taken = next_;
    next_ += count * unitSize;
    return taken;
}

uint64_t ArchiveReader::ReadLittleEndian(std::size_t byteCount)
{
    const uint8_t* bytes = Take(byteCount);
    uint64_t value = 0;
    for (std::size_t i = 0; i < byteCount; ++i)
        value |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    return value;
}

// A string starts with an 8-bit length; 0xFF there is followed by a 16-bit
// field that is either the wide-string marker (after which the length starts
// over with one byte) or the length itself.
ArchiveReader::StringHeader ArchiveReader::ReadStringHeader()
{
    const auto length8 = ReadLittleEndian(1);
    if (length8 < 0xFF)
        return {length8, false};
    auto length16 = ReadLittleEndian(2);
    if (length16 != kWideMarker)
        return {ReadLongLength(length16), false};
    const auto wideLength8 = ReadLittleEndian(1);
    if (wideLength8 < 0xFF)
        return {wideLength8, true};
    length16 = ReadLittleEndian(2);
    return {ReadLongLength(length16), true};
}

// A 16-bit length of all ones continues in 32 bits, and a 32-bit one of all
// ones in 64 bits.
std::size_t ArchiveReader::ReadLongLength(uint64_t length16)
{
    if (length16 < 0xFFFF)
        return length16;
    uint64_t length = ReadLittleEndian(4);
    if (length == 0xFFFFFFFF)
        length = ReadLittleEndian(8);
    // Lengths are signed 32-bit counts; anything larger is damage, not a long text.
    if (length > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
        throw ArchiveError(FileResult::FailedToOpen);
    return static_cast<std::size_t>(length);
}
