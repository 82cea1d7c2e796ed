#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

// How reading or writing a design file ended.
enum class FileResult {
    Ok,
    UnexpectedFormat,  // a version other than ours, or the data ends early
    FailedToOpen,      // any other damage, or the file cannot be read
    FailedToSave,
};

// The message the front ends show for a result; empty for Ok.
const char* FileResultText(FileResult result);

// Raised by ArchiveReader; the load catches it and reports its result.
class ArchiveError : public std::exception {
public:
    explicit ArchiveError(FileResult result) : result_(result) {}
    FileResult Result() const { return result_; }
    const char* what() const noexcept override { return FileResultText(result_); }

private:
    FileResult result_;
};

// Appends values in the little-endian layout of the design file. Strings are
// always written as UTF-16 with the wide-string marker.
class ArchiveWriter {
public:
    explicit ArchiveWriter(std::vector<uint8_t>& out) : out_(out) {}

    void WriteInt32(int32_t value);
    void WriteBool(bool value);
    void WriteDouble(double value);
    void WriteString(const std::u16string& text);

private:
    void WriteLittleEndian(uint64_t value, std::size_t byteCount);
    void WriteStringLength(uint64_t length);

    std::vector<uint8_t>& out_;
};

// Reads values of the design file layout from a byte buffer it does not own.
// Every read checks the bytes that remain first, so damaged data can neither
// run past the buffer nor make a declared length allocate memory the data does
// not back. Failures throw ArchiveError.
class ArchiveReader {
public:
    ArchiveReader(const uint8_t* data, std::size_t size) : next_(data), end_(data + size) {}

    int32_t ReadInt32();
    bool ReadBool();
    double ReadDouble();
    // Wide strings are taken as they are; 8-bit strings are decoded as Windows-1252.
    std::u16string ReadString();
    // Reads a version field; anything but the expected version is a format we do not know.
    void ReadVersion(int32_t expected);

private:
    struct StringHeader {
        std::size_t length;  // in characters
        bool wide;
    };

    const uint8_t* Take(std::size_t count, std::size_t unitSize = 1);
    uint64_t ReadLittleEndian(std::size_t byteCount);
    StringHeader ReadStringHeader();
    std::size_t ReadLongLength(uint64_t length16);

    const uint8_t* next_;
    const uint8_t* end_;
};
