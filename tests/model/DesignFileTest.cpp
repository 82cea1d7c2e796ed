#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "NonDesignFiles.h"
#include "analysis/Recalculate.h"
#include "model/DesignFile.h"
#include "model/DesignModel.h"
#include "model/FileBytes.h"

namespace {

// Catalogue indices of the symbols the fixtures use.
constexpr std::size_t kPOut = 4;
constexpr std::size_t kFS = 5;
constexpr std::size_t kVOut = 6;

// Design file bytes written out by hand, independent of the writer under test.
// Strings use the one-byte length form; longer forms are spelt out with Raw.
struct FileBuilder {
    std::vector<uint8_t> bytes;

    FileBuilder& Raw(std::initializer_list<uint8_t> raw)
    {
        bytes.insert(bytes.end(), raw);
        return *this;
    }
    FileBuilder& Append(const std::vector<uint8_t>& more)
    {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    FileBuilder& LittleEndian(uint64_t value, int byteCount)
    {
        for (int i = 0; i < byteCount; ++i)
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }
    FileBuilder& Int32(int32_t value) { return LittleEndian(static_cast<uint32_t>(value), 4); }
    FileBuilder& Double(double value)
    {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return LittleEndian(bits, 8);
    }
    FileBuilder& Utf16(const std::u16string& text)
    {
        for (char16_t unit : text)
            LittleEndian(unit, 2);
        return *this;
    }
    FileBuilder& Wide(const std::u16string& text)
    {
        return Raw({0xFF, 0xFE, 0xFF}).LittleEndian(text.size(), 1).Utf16(text);
    }
    FileBuilder& Narrow(const std::string& text)
    {
        LittleEndian(text.size(), 1);
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    FileBuilder& Record(const std::u16string& name, bool userSet, double userValue, double calcValue)
    {
        return Int32(1).Wide(name).LittleEndian(userSet ? 1 : 0, 1).Double(userValue).Double(calcValue);
    }
    FileBuilder& Entry(const std::u16string& key, bool userSet, double userValue, double calcValue)
    {
        return Wide(key).Record(key, userSet, userValue, calcValue);
    }
    FileBuilder& Header(const std::u16string& description = u"d") { return Int32(1).Wide(description).Int32(1); }
    FileBuilder& End() { return Wide(u"END"); }
};

FileResult Load(const std::vector<uint8_t>& bytes, CDesignModel& model, std::u16string& description)
{
    return LoadDesign(bytes.data(), bytes.size(), model, description);
}

uint64_t Bits(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// What a design file holds of a symbol, with doubles compared bit for bit.
struct FileState {
    std::u16string name;
    bool userSet;
    uint64_t userBits;
    uint64_t calcBits;

    bool operator==(const FileState& other) const
    {
        return name == other.name && userSet == other.userSet && userBits == other.userBits &&
               calcBits == other.calcBits;
    }
};

void PrintTo(const FileState& state, std::ostream* out)
{
    *out << std::string(state.name.begin(), state.name.end()) << (state.userSet ? " user " : " calc ") << std::hex
         << state.userBits << " " << state.calcBits;
}

FileState StateOf(const CSymbol& symbol)
{
    return {symbol.name, symbol.userSet, Bits(symbol.userValue), Bits(symbol.calcValue)};
}

// Catalogue indices of the symbols that are no longer in their default state.
std::vector<std::size_t> ChangedSymbols(const CDesignModel& model)
{
    const CDesignModel defaults;
    std::vector<std::size_t> changed;
    for (std::size_t k = 0; k < CDesignModel::kSymbolCount; ++k) {
        if (!(StateOf(*model.symbols[k]) == StateOf(*defaults.symbols[k])))
            changed.push_back(k);
    }
    return changed;
}

// A design that differs from the defaults in user entries and in both values.
void MakeDistinctive(CDesignModel& model)
{
    model.V__OUT.SetUser(400.0);
    model.L__MIN.SetUser(1e-3);
    model.ad.SetUser(314.0);
    qxr::Recalculate(model);
    for (std::size_t k = 0; k < CDesignModel::kSymbolCount; ++k)
        model.symbols[k]->calcValue = 1000.0 + 0.125 * static_cast<double>(k);
    model.R__T.userValue = -0.0;  // differs from calcValue although not a user entry
    model.K.calcValue = std::numeric_limits<double>::infinity();
    model.V__UVLO.calcValue = std::numeric_limits<double>::quiet_NaN();
}

std::u16string TextOfLength(std::size_t length)
{
    // Starts in the surrogate range so that short texts hold unpaired surrogates
    // and a text of 0x10000 units holds every code unit.
    std::u16string text(length, u'\0');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char16_t>(0xD800 + i);
    return text;
}

TEST(DesignFileSave, DefaultDesignStartsWithTheDocumentedBytes)
{
    const CDesignModel model;
    const std::vector<uint8_t> bytes = SaveDesign(model, kNewDesignDescription);

    std::vector<uint8_t> expected = {0x01, 0x00, 0x00, 0x00, 0xFF, 0xFE, 0xFF, 0x17};
    for (char c : std::string("Add Description here..."))
        expected.insert(expected.end(), {static_cast<uint8_t>(c), 0x00});
    expected.insert(expected.end(), {0x01, 0x00, 0x00, 0x00});
    for (int copy = 0; copy < 2; ++copy) {
        expected.insert(expected.end(), {0xFF, 0xFE, 0xFF, 0x0A});
        for (char c : std::string("V__IN_NORM"))
            expected.insert(expected.end(), {static_cast<uint8_t>(c), 0x00});
        if (copy == 0)
            expected.insert(expected.end(), {0x01, 0x00, 0x00, 0x00});
    }
    expected.push_back(0x00);
    for (int copy = 0; copy < 2; ++copy)
        expected.insert(expected.end(), {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x6E, 0x40});

    ASSERT_GE(bytes.size(), expected.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(expected.size())),
              expected);
    const std::vector<uint8_t> end = {0xFF, 0xFE, 0xFF, 0x03, 0x45, 0x00, 0x4E, 0x00, 0x44, 0x00};
    EXPECT_EQ(std::vector<uint8_t>(bytes.end() - static_cast<std::ptrdiff_t>(end.size()), bytes.end()), end);
}

TEST(DesignFileSave, WritesEverySymbolInCatalogueOrderThenTheEndMarker)
{
    CDesignModel model;
    MakeDistinctive(model);

    FileBuilder expected;
    expected.Int32(1).Wide(u"").Int32(1);
    for (const CSymbol* symbol : model.symbols)
        expected.Entry(symbol->name, symbol->userSet, symbol->userValue, symbol->calcValue);
    expected.End();

    EXPECT_EQ(SaveDesign(model, u""), expected.bytes);
    EXPECT_TRUE(model.V__OUT.userSet) << "saving must not change the design";
}

TEST(DesignFileRoundTrip, RestoresUserEntriesAndBothValuesOfEverySymbol)
{
    CDesignModel saved;
    MakeDistinctive(saved);
    CDesignModel loaded;
    loaded.P__OUT.SetUser(1.0);  // must not survive the load
    std::u16string description = u"previous";

    ASSERT_EQ(Load(SaveDesign(saved, u"Boost stage \u00B5H"), loaded, description), FileResult::Ok);

    EXPECT_EQ(description, u"Boost stage \u00B5H");
    for (std::size_t k = 0; k < CDesignModel::kSymbolCount; ++k)
        EXPECT_EQ(StateOf(*loaded.symbols[k]), StateOf(*saved.symbols[k])) << "symbol " << k;

    // Nothing outside the file (such as the Mode's mirrors) may steer the calculation.
    qxr::Recalculate(saved);
    qxr::Recalculate(loaded);
    for (std::size_t k = 0; k < CDesignModel::kSymbolCount; ++k)
        EXPECT_EQ(Bits(loaded.symbols[k]->calcValue), Bits(saved.symbols[k]->calcValue)) << "symbol " << k;
}

TEST(DesignFileRoundTrip, DescriptionKeepsEveryCodeUnitInEveryLengthForm)
{
    struct Case {
        std::size_t length;
        std::vector<uint8_t> prefix;
    };
    const Case cases[] = {
        {0, {0xFF, 0xFE, 0xFF, 0x00}},
        {3, {0xFF, 0xFE, 0xFF, 0x03}},
        {254, {0xFF, 0xFE, 0xFF, 0xFE}},
        {255, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {0x10000, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
    };
    const CDesignModel model;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::u16string text = TextOfLength(c.length);
        const std::vector<uint8_t> bytes = SaveDesign(model, text);
        ASSERT_GT(bytes.size(), 4 + c.prefix.size());
        EXPECT_EQ(
            std::vector<uint8_t>(bytes.begin() + 4, bytes.begin() + 4 + static_cast<std::ptrdiff_t>(c.prefix.size())),
            c.prefix);

        CDesignModel loaded;
        std::u16string description;
        ASSERT_EQ(Load(bytes, loaded, description), FileResult::Ok);
        EXPECT_TRUE(description == text);
    }
}

TEST(DesignFileLoad, DescriptionInEveryLengthFormAndEncoding)
{
    struct Case {
        const char* label;
        std::vector<uint8_t> field;
        std::u16string expected;
    };
    const std::u16string ab = u"ab";
    const Case cases[] = {
        {"wide, 8-bit length", FileBuilder().Raw({0xFF, 0xFE, 0xFF, 0x02}).Utf16(ab).bytes, ab},
        {"wide, 16-bit length", FileBuilder().Raw({0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00}).Utf16(ab).bytes, ab},
        {"wide, 32-bit length",
         FileBuilder().Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}).LittleEndian(2, 4).Utf16(ab).bytes, ab},
        {"wide, 64-bit length",
         FileBuilder()
             .Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF})
             .LittleEndian(0xFFFFFFFF, 4)
             .LittleEndian(2, 8)
             .Utf16(ab)
             .bytes,
         ab},
        {"8-bit, 8-bit length", FileBuilder().Narrow("ab").bytes, ab},
        {"8-bit, 16-bit length", FileBuilder().Raw({0xFF, 0x02, 0x00, 'a', 'b'}).bytes, ab},
        {"8-bit, 32-bit length", FileBuilder().Raw({0xFF, 0xFF, 0xFF}).LittleEndian(2, 4).Raw({'a', 'b'}).bytes, ab},
        {"8-bit, 64-bit length",
         FileBuilder().Raw({0xFF, 0xFF, 0xFF}).LittleEndian(0xFFFFFFFF, 4).LittleEndian(2, 8).Raw({'a', 'b'}).bytes,
         ab},
        {"8-bit, Windows-1252",
         FileBuilder().Raw({10, 0x80, 0xB5, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x9F, 0xFF, 0x41}).bytes,
         u"\x20AC\xB5\x81\x8D\x8F\x90\x9D\x178\xFF"
         u"A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::vector<uint8_t> bytes = FileBuilder().Int32(1).Append(c.field).Int32(1).End().bytes;
        CDesignModel model;
        std::u16string description;
        ASSERT_EQ(Load(bytes, model, description), FileResult::Ok);
        EXPECT_TRUE(description == c.expected);
    }
}

TEST(DesignFileLoad, EmptyFileReadsNothing)
{
    CDesignModel model;
    model.V__OUT.SetUser(400.0);
    std::u16string description = u"kept";

    EXPECT_EQ(LoadDesign(nullptr, 0, model, description), FileResult::Ok);

    EXPECT_EQ(description, u"kept");
    EXPECT_EQ(ChangedSymbols(model), std::vector<std::size_t>{kVOut});
}

TEST(DesignFileLoad, EveryTruncatedFileIsUnexpectedFormat)
{
    CDesignModel saved;
    MakeDistinctive(saved);
    const std::vector<uint8_t> bytes = SaveDesign(saved, u"description");
    for (std::size_t length = 1; length < bytes.size(); ++length) {
        CDesignModel model;
        std::u16string description;
        ASSERT_EQ(LoadDesign(bytes.data(), length, model, description), FileResult::UnexpectedFormat)
            << "prefix of " << length << " bytes";
    }
}

TEST(DesignFileLoad, DamagedFilesReportTheirMessage)
{
    struct Case {
        const char* label;
        std::vector<uint8_t> bytes;
        FileResult result;
        std::u16string description;  // as far as the load got
    };
    const uint64_t beyond32Bits = 0x100000000;
    const Case cases[] = {
        {"document version 2", FileBuilder().Int32(2).Wide(u"d").Int32(1).End().bytes, FileResult::UnexpectedFormat,
         u""},
        {"model version 2", FileBuilder().Int32(1).Wide(u"d").Int32(2).End().bytes, FileResult::UnexpectedFormat, u"d"},
        {"record version 2",
         FileBuilder().Header().Wide(u"V__OUT").Int32(2).Wide(u"V__OUT").Raw({0}).Double(1).Double(1).End().bytes,
         FileResult::UnexpectedFormat, u"d"},
        {"no end marker", FileBuilder().Header().Entry(u"V__OUT", true, 1, 1).bytes, FileResult::UnexpectedFormat,
         u"d"},
        {"wide, 32-bit length of 2^31",
         FileBuilder().Int32(1).Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF}).LittleEndian(0x80000000, 4).bytes,
         FileResult::FailedToOpen, u""},
        {"wide, 64-bit length of 2^31",
         FileBuilder()
             .Int32(1)
             .Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF})
             .LittleEndian(0xFFFFFFFF, 4)
             .LittleEndian(0x80000000, 8)
             .bytes,
         FileResult::FailedToOpen, u""},
        {"8-bit, 64-bit length beyond 32 bits",
         FileBuilder().Int32(1).Raw({0xFF, 0xFF, 0xFF}).LittleEndian(0xFFFFFFFF, 4).LittleEndian(beyond32Bits, 8).bytes,
         FileResult::FailedToOpen, u""},
        {"key with a 64-bit length beyond 32 bits",
         FileBuilder()
             .Header()
             .Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF})
             .LittleEndian(0xFFFFFFFF, 4)
             .LittleEndian(beyond32Bits, 8)
             .bytes,
         FileResult::FailedToOpen, u"d"},
        {"wide, huge length in a tiny file",
         FileBuilder()
             .Int32(1)
             .Raw({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF})
             .LittleEndian(0x7FFFFFFF, 4)
             .Utf16(u"ab")
             .bytes,
         FileResult::UnexpectedFormat, u""},
        {"8-bit, huge length in a tiny file",
         FileBuilder().Int32(1).Raw({0xFF, 0xFF, 0xFF}).LittleEndian(0x7FFFFFFF, 4).Raw({'a', 'b'}).bytes,
         FileResult::UnexpectedFormat, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CDesignModel model;
        std::u16string description = u"previous";
        EXPECT_EQ(Load(c.bytes, model, description), c.result);
        EXPECT_TRUE(description == c.description);
        EXPECT_STREQ(FileResultText(c.result),
                     c.result == FileResult::FailedToOpen ? "Failed to open document." : "Unexpected file format.");
    }
}

TEST(DesignFileLoad, FailedLoadKeepsDefaultsAndTheRecordsReadBefore)
{
    const std::vector<uint8_t> bytes = FileBuilder()
                                           .Header()
                                           .Entry(u"V__OUT", true, 400, 385)
                                           .Wide(u"f__S")
                                           .Int32(2)
                                           .Record(u"f__S", true, 1, 1)
                                           .End()
                                           .bytes;
    CDesignModel model;
    model.P__OUT.SetUser(99.0);
    std::u16string description;

    EXPECT_EQ(Load(bytes, model, description), FileResult::UnexpectedFormat);

    EXPECT_EQ(ChangedSymbols(model), std::vector<std::size_t>{kVOut});
    EXPECT_EQ(model.V__OUT.Value(), 400.0);
}

TEST(DesignFileLoad, EndKeyStopsTheListEvenWithBytesAfterIt)
{
    const std::vector<uint8_t> bytes =
        FileBuilder().Header().Entry(u"V__OUT", true, 400, 385).End().Entry(u"P__OUT", true, 99, 99).Raw({0xFF}).bytes;
    CDesignModel model;
    std::u16string description;

    EXPECT_EQ(Load(bytes, model, description), FileResult::Ok);

    EXPECT_EQ(ChangedSymbols(model), std::vector<std::size_t>{kVOut});
}

TEST(DesignFileLoad, UnknownNamesAreReadAndSkipped)
{
    const std::vector<uint8_t> bytes = FileBuilder()
                                           .Header()
                                           .Entry(u"end", true, 1, 2)
                                           .Entry(u"v__out", true, 3, 4)
                                           .Entry(u"V__OUT", true, 400, 385)
                                           .End()
                                           .bytes;
    CDesignModel model;
    std::u16string description;

    EXPECT_EQ(Load(bytes, model, description), FileResult::Ok);

    EXPECT_EQ(ChangedSymbols(model), std::vector<std::size_t>{kVOut});
    EXPECT_EQ(model.V__OUT.Value(), 400.0);
}

TEST(DesignFileLoad, InnerNameRenamesTheSymbolUntilDefaultsReturn)
{
    const std::vector<uint8_t> bytes = FileBuilder().Header().Wide(u"V__OUT").Record(u"X", true, 400, 385).End().bytes;
    CDesignModel model;
    std::u16string description;

    ASSERT_EQ(Load(bytes, model, description), FileResult::Ok);

    EXPECT_EQ(model.V__OUT.name, u"X");
    EXPECT_TRUE(model.V__OUT.userSet);
    EXPECT_EQ(model.V__OUT.userValue, 400.0);
    EXPECT_EQ(model.V__OUT.calcValue, 385.0);
    EXPECT_EQ(model.FindByName(u"X"), &model.V__OUT);
    EXPECT_EQ(model.FindByName(u"V__OUT"), nullptr);
    model.LoadDefaults();
    EXPECT_EQ(model.V__OUT.name, u"V__OUT");
}

TEST(DesignFileLoad, EntriesInAnyOrderAndTheLastDuplicateWins)
{
    const std::vector<uint8_t> bytes = FileBuilder()
                                           .Header()
                                           .Entry(u"V__OUT", true, 400, 385)
                                           .Entry(u"P__OUT", true, 100, 150)
                                           .Entry(u"f__S", false, 1e5, 1e5)
                                           .Entry(u"P__OUT", false, 120, 130)
                                           .End()
                                           .bytes;
    CDesignModel model;
    std::u16string description;

    ASSERT_EQ(Load(bytes, model, description), FileResult::Ok);

    EXPECT_EQ(ChangedSymbols(model), (std::vector<std::size_t>{kPOut, kFS, kVOut}));
    EXPECT_FALSE(model.P__OUT.userSet);
    EXPECT_EQ(model.P__OUT.userValue, 120.0);
    EXPECT_EQ(model.P__OUT.calcValue, 130.0);
    EXPECT_EQ(model.f__S.Value(), 1e5);
}

TEST(DesignFileLoad, RecordsAreStoredAsTheyAre)
{
    // A Mode entry by the user: the mirrors keep what the defaults gave them,
    // and a plain symbol keeps two different values without a user entry.
    const std::vector<uint8_t> bytes =
        FileBuilder().Header().Entry(u"ad", true, 314, 311).Entry(u"V__OUT", false, 1, 2).End().bytes;
    CDesignModel model;
    std::u16string description;

    ASSERT_EQ(Load(bytes, model, description), FileResult::Ok);

    EXPECT_TRUE(model.ad.userSet);
    EXPECT_EQ(model.ad.Value(), 314.0);
    EXPECT_EQ(model.ad.enumUser.GetValue(), CTop::ANALOG);
    EXPECT_EQ(model.ad.enumCalc.GetValue(), CTop::ANALOG);
    EXPECT_FALSE(model.V__OUT.userSet);
    EXPECT_EQ(model.V__OUT.userValue, 1.0);
    EXPECT_EQ(model.V__OUT.calcValue, 2.0);
    for (const CSymbol* symbol : model.symbols)
        EXPECT_FALSE(symbol->inUse);
}

TEST(DesignFileLoad, EntriesStoppingAfterVOutLeaveTheRestAtDefaults)
{
    const CDesignModel defaults;
    FileBuilder file;
    file.Header();
    std::vector<std::size_t> written;
    for (std::size_t k = 0; k <= kVOut; ++k) {
        file.Entry(defaults.symbols[k]->name, true, 1000.0 + static_cast<double>(k), 0.5);
        written.push_back(k);
    }
    file.End();
    CDesignModel model;
    std::u16string description;

    ASSERT_EQ(Load(file.bytes, model, description), FileResult::Ok);

    EXPECT_EQ(ChangedSymbols(model), written);
    EXPECT_EQ(model.V__OUT.Value(), 1006.0);
}

// A design saved before the added symbols existed: its records end with `ad`.
TEST(DesignFileLoad, FileWithoutTheAddedSymbolsLoadsThemWithDefaults)
{
    CDesignModel saved;
    MakeDistinctive(saved);
    FileBuilder file;
    file.Header();
    for (std::size_t k = 0; k < CDesignModel::kFirstAddedSymbol; ++k) {
        const CSymbol& symbol = *saved.symbols[k];
        file.Entry(symbol.name, symbol.userSet, symbol.userValue, symbol.calcValue);
    }
    file.End();
    CDesignModel model;
    for (CSymbol* symbol : model.symbols)
        symbol->SetUser(-5.0);  // what an earlier design left behind
    std::u16string description;

    ASSERT_EQ(Load(file.bytes, model, description), FileResult::Ok);

    const CDesignModel defaults;
    for (std::size_t k = 0; k < CDesignModel::kSymbolCount; ++k) {
        const CSymbol& expected = k < CDesignModel::kFirstAddedSymbol ? *saved.symbols[k] : *defaults.symbols[k];
        EXPECT_EQ(StateOf(*model.symbols[k]), StateOf(expected)) << "symbol " << k;
    }
}

TEST(DesignFileLoad, EightBitStringsThroughout)
{
    const std::vector<uint8_t> bytes = FileBuilder()
                                           .Int32(1)
                                           .Narrow("5 \xB5H, 3 \x80")
                                           .Int32(1)
                                           .Narrow("V__OUT")
                                           .Int32(1)
                                           .Narrow("V__OUT")
                                           .Raw({7})  // any non-zero flag is a user entry
                                           .Double(400)
                                           .Double(385)
                                           .Narrow("END")
                                           .bytes;
    CDesignModel model;
    std::u16string description;

    ASSERT_EQ(Load(bytes, model, description), FileResult::Ok);

    EXPECT_TRUE(description == u"5 \xB5H, 3 \x20AC");
    EXPECT_EQ(ChangedSymbols(model), std::vector<std::size_t>{kVOut});
    EXPECT_TRUE(model.V__OUT.userSet);
    EXPECT_EQ(model.V__OUT.Value(), 400.0);
}

// A fresh folder per test, removed afterwards.
class DesignFileOnDisk : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = testing::TempDir() + "qxr-design-file-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::set<std::string> FolderContent(const std::filesystem::path& folder) const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    static void WriteText(const std::filesystem::path& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

    std::filesystem::path folder_;
};

TEST_F(DesignFileOnDisk, SaveReplacesTheFileKeepingItsPermissions)
{
    const std::filesystem::path path = folder_ / "stage.qxr";
    WriteText(path, "previous content");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    CDesignModel saved;
    MakeDistinctive(saved);

    ASSERT_EQ(SaveDesignFile(path, saved, u"stage"), FileResult::Ok);

    EXPECT_EQ(FolderContent(folder_), std::set<std::string>{"stage.qxr"});
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFileBytes(path), SaveDesign(saved, u"stage"));

    CDesignModel loaded;
    std::u16string description;
    ASSERT_EQ(LoadDesignFile(path, loaded, description), FileResult::Ok);
    EXPECT_EQ(description, u"stage");
    EXPECT_TRUE(loaded.V__OUT.userSet);
    EXPECT_EQ(loaded.V__OUT.userValue, 400.0);
}

TEST_F(DesignFileOnDisk, FailedSaveLeavesEverythingAsItWas)
{
    WriteText(folder_ / "plain.txt", "plain");
    std::filesystem::create_directory(folder_ / "folder");
    WriteText(folder_ / "folder" / "inside.qxr", "inside");
    const std::set<std::string> before = FolderContent(folder_);
    const char* const targets[] = {
        "missing/stage.qxr",    // a folder that does not exist
        "plain.txt/stage.qxr",  // a "folder" that is a regular file
        "folder",               // a folder where the file should be: the rename fails
    };
    const CDesignModel model;
    for (const char* target : targets) {
        SCOPED_TRACE(target);
        EXPECT_EQ(SaveDesignFile(folder_ / target, model, u""), FileResult::FailedToSave);
        EXPECT_EQ(FolderContent(folder_), before);
        EXPECT_EQ(FolderContent(folder_ / "folder"), std::set<std::string>{"inside.qxr"});
        EXPECT_EQ(ReadFileBytes(folder_ / "plain.txt"), (std::vector<uint8_t>{'p', 'l', 'a', 'i', 'n'}));
    }
    EXPECT_STREQ(FileResultText(FileResult::FailedToSave), "Failed to save document.");
}

TEST_F(DesignFileOnDisk, UnreadableFileFailsToOpenAndChangesNothing)
{
    for (const char* target : {"missing.qxr", "."}) {
        SCOPED_TRACE(target);
        CDesignModel model;
        model.V__OUT.SetUser(400.0);
        std::u16string description = u"kept";

        EXPECT_EQ(LoadDesignFile(folder_ / target, model, description), FileResult::FailedToOpen);

        EXPECT_EQ(description, u"kept");
        EXPECT_EQ(ChangedSymbols(model), std::vector<std::size_t>{kVOut});
    }
}

TEST_F(DesignFileOnDisk, NothingButARegularFileWithinTheLimitIsRead)
{
    for (const non_design_files::UnreadableInput& input : non_design_files::MakeUnreadableInputs(folder_)) {
        SCOPED_TRACE(input.what);
        int reason = -1;
        EXPECT_EQ(ReadFileBytes(input.path, reason), std::nullopt);
        EXPECT_EQ(reason, input.reason);

        CDesignModel model;
        model.V__OUT.SetUser(400.0);
        std::u16string description = u"kept";
        EXPECT_EQ(LoadDesignFile(input.path, model, description), FileResult::FailedToOpen);
        EXPECT_EQ(description, u"kept");
        EXPECT_EQ(ChangedSymbols(model), std::vector<std::size_t>{kVOut});
    }
}

TEST_F(DesignFileOnDisk, AFileOfExactlyTheLimitIsReadWhole)
{
    const std::filesystem::path path = folder_ / "largest.qxr";
    ASSERT_TRUE(non_design_files::MakeSparseFile(path, static_cast<off_t>(kMaxFileBytes)));
    int reason = -1;
    const auto bytes = ReadFileBytes(path, reason);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), kMaxFileBytes);
    EXPECT_EQ(reason, 0);
}

}  // namespace
