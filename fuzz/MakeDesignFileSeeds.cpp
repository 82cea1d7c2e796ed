// Writes the seed inputs of the design file fuzz target: valid designs and a
// few damaged or unusual files, each small. Run it again when the layout changes:
//   cmake --build build-fuzz --target qxr_design_file_seeds
//   build-fuzz/fuzz/qxr_design_file_seeds fuzz/corpus/design-file
#include <cstdint>
#include <string>
#include <vector>

#include "SeedFiles.h"
#include "model/Archive.h"
#include "model/DesignFile.h"
#include "model/DesignModel.h"

namespace {

using Bytes = std::vector<uint8_t>;

// An 8-bit string as older writers produced it: a length byte, then the bytes.
void WriteEightBitString(Bytes& bytes, const std::string& text)
{
    bytes.push_back(static_cast<uint8_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
}

Bytes UserEntries()
{
    CDesignModel model;
    model.ad.SetUser(314.0);
    model.P__OUT.SetUser(300.0);
    model.L__MIN.SetUser(4.7e-6);
    return SaveDesign(model, u"Digital stage, 300 W, 4.7 \u00B5H");
}

Bytes Truncated()
{
    const CDesignModel model;
    Bytes bytes = SaveDesign(model, kNewDesignDescription);
    bytes.resize(bytes.size() / 2);
    return bytes;
}

// One record with a version this program does not know.
Bytes RecordVersion2()
{
    Bytes bytes;
    ArchiveWriter archive(bytes);
    archive.WriteInt32(1);
    archive.WriteString(u"");
    archive.WriteInt32(1);
    archive.WriteString(u"V__OUT");
    archive.WriteInt32(2);
    archive.WriteString(u"V__OUT");
    archive.WriteBool(true);
    archive.WriteDouble(400.0);
    archive.WriteDouble(385.0);
    archive.WriteString(u"END");
    return bytes;
}

// A renaming record and an unknown name, both of which a load accepts.
Bytes RenamedAndUnknown()
{
    Bytes bytes;
    ArchiveWriter archive(bytes);
    archive.WriteInt32(1);
    archive.WriteString(u"x");
    archive.WriteInt32(1);
    for (const char16_t* key : {u"V__OUT", u"end"}) {
        archive.WriteString(key);
        archive.WriteInt32(1);
        archive.WriteString(u"X");
        archive.WriteBool(true);
        archive.WriteDouble(400.0);
        archive.WriteDouble(385.0);
    }
    archive.WriteString(u"END");
    return bytes;
}

// 8-bit strings throughout, one with a Windows-1252 byte, and a wide name
// whose length uses the 64-bit form.
Bytes EightBitStrings()
{
    Bytes bytes;
    ArchiveWriter archive(bytes);
    archive.WriteInt32(1);
    WriteEightBitString(bytes, "3 \x80");
    archive.WriteInt32(1);
    WriteEightBitString(bytes, "P__OUT");
    archive.WriteInt32(1);
    bytes.insert(bytes.end(), {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 6, 0, 0, 0, 0, 0, 0, 0});
    for (char c : std::string("P__OUT"))
        bytes.insert(bytes.end(), {static_cast<uint8_t>(c), 0});
    archive.WriteBool(true);
    archive.WriteDouble(120.0);
    archive.WriteDouble(150.0);
    WriteEightBitString(bytes, "END");
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    const CDesignModel defaults;
    const auto text = [](const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); };
    return WriteSeedFiles(argc, argv,
                          {
                              {"default.qxr", text(SaveDesign(defaults, kNewDesignDescription))},
                              {"user-entries.qxr", text(UserEntries())},
                              {"truncated.qxr", text(Truncated())},
                              {"record-version-2.qxr", text(RecordVersion2())},
                              {"renamed-and-unknown.qxr", text(RenamedAndUnknown())},
                              {"eight-bit-strings.qxr", text(EightBitStrings())},
                          });
}
