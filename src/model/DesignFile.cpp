#include "model/DesignFile.h"

#include "model/DesignModel.h"
#include "model/FileBytes.h"

namespace {

// Each level of the file carries its own version; this program knows version 1 of each.
constexpr int32_t kDocumentVersion = 1;
constexpr int32_t kModelVersion = 1;
constexpr int32_t kRecordVersion = 1;

// The key that ends the model's list of records; compared exactly, so "end" is just an unknown name.
const std::u16string kEndMarker = u"END";

}  // namespace

void CSymbol::Serialize(ArchiveWriter& archive) const
{
    archive.WriteInt32(kRecordVersion);
    archive.WriteString(name);
    archive.WriteBool(userSet);
    archive.WriteDouble(userValue);
    archive.WriteDouble(calcValue);
}

void CSymbol::Serialize(ArchiveReader& archive)
{
    archive.ReadVersion(kRecordVersion);
    name = archive.ReadString();
    userSet = archive.ReadBool();
    userValue = archive.ReadDouble();
    calcValue = archive.ReadDouble();
}

void CDesignModel::Serialize(ArchiveWriter& archive) const
{
    archive.WriteInt32(kModelVersion);
    for (const CSymbol* symbol : symbols) {
        archive.WriteString(symbol->name);
        symbol->Serialize(archive);
    }
    archive.WriteString(kEndMarker);
}

void CDesignModel::Serialize(ArchiveReader& archive)
{
    archive.ReadVersion(kModelVersion);
    // Records under names this program does not know are read into a symbol
    // nobody keeps, so the rest of the file stays in step.
    CSymbol unknown;
    for (;;) {
        const std::u16string key = archive.ReadString();
        if (key == kEndMarker)
            return;
        CSymbol* symbol = FindByName(key);
        (symbol ? *symbol : unknown).Serialize(archive);
    }
}

std::vector<uint8_t> SaveDesign(const CDesignModel& model, const std::u16string& description)
{
    std::vector<uint8_t> bytes;
    ArchiveWriter archive(bytes);
    archive.WriteInt32(kDocumentVersion);
    archive.WriteString(description);
    model.Serialize(archive);
    return bytes;
}

FileResult LoadDesign(const uint8_t* data, std::size_t size, CDesignModel& model, std::u16string& description)
{
    if (size == 0)
        return FileResult::Ok;
    description.clear();
    model.LoadDefaults();
    ArchiveReader archive(data, size);
    try {
        archive.ReadVersion(kDocumentVersion);
        description = archive.ReadString();
        model.Serialize(archive);
    } catch (const ArchiveError& error) {
        return error.Result();
    }
    return FileResult::Ok;
}

FileResult LoadDesignFile(const std::filesystem::path& path, CDesignModel& model, std::u16string& description)
{
    const auto bytes = ReadFileBytes(path);
    if (!bytes)
        return FileResult::FailedToOpen;
    return LoadDesign(bytes->data(), bytes->size(), model, description);
}

FileResult SaveDesignFile(const std::filesystem::path& path, const CDesignModel& model,
                          const std::u16string& description)
{
    if (!WriteFileBytesAtomically(path, SaveDesign(model, description)))
        return FileResult::FailedToSave;
    return FileResult::Ok;
}
