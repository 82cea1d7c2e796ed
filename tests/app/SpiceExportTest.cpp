#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

#include "AppFixture.h"
#include "model/FileBytes.h"
#include "model/Utf.h"
#include "spice/SpiceDecks.h"

namespace {

class SpiceExport : public AppFixture {
protected:
    // The deck's entry of File > Export Spice Netlist.
    QAction* DeckAction(const QString& text)
    {
        for (QMenu* menu : Frame().findChildren<QMenu*>()) {
            if (menu->title() != "Export Spice &Netlist")
                continue;
            for (QAction* action : menu->actions())
                if (action->text() == text)
                    return action;
        }
        ADD_FAILURE() << "no deck " << text.toStdString();
        return nullptr;
    }
    std::string Deck(qxr::SpiceDeck deck)
    {
        return qxr::WriteSpiceDeck(qxr::ReadSpiceInputs(Document().model, qxr::ToUtf8(Document().designDescription)),
                                   deck)
            .text;
    }
    static std::string Read(const QString& path)
    {
        const std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path.toStdString());
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    }
};

TEST_F(SpiceExport, EachDeckIsWrittenAsTheCoreWritesIt)
{
    QTemporaryDir folder;
    const std::pair<const char*, qxr::SpiceDeck> decks[] = {
        {"&Voltage Loop, AC...", qxr::SpiceDeck::AcVoltage},
        {"&Current Loop, AC...", qxr::SpiceDeck::AcCurrent},
        {"&Stage in Time, Transient...", qxr::SpiceDeck::Transient}};
    for (const auto& [text, deck] : decks) {
        prompts->exportPath = folder.filePath(QString::fromLatin1(qxr::SpiceDeckWord(deck)) + ".cir");
        QAction* action = DeckAction(text);
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_EQ(Read(prompts->exportPath), Deck(deck)) << text;
    }
    EXPECT_TRUE(prompts->errors.isEmpty());

    prompts->exportPath = folder.filePath("missing/deck.cir");
    EXPECT_FALSE(Frame().FileExportSpiceNetlist(qxr::SpiceDeck::AcVoltage));
    EXPECT_EQ(prompts->errors, QStringList{"Failed to write " + prompts->exportPath + "."});
}

TEST_F(SpiceExport, ADesignWithoutTheDeckSaysWhyAndWritesNothing)
{
    QTemporaryDir folder;
    Document().ApplyChange("Mode", [this] { Document().model.ad.SetUser(CTop::DIGITAL); });
    prompts->exportPath = folder.filePath("transient.cir");
    EXPECT_FALSE(Frame().FileExportSpiceNetlist(qxr::SpiceDeck::Transient));
    EXPECT_EQ(prompts->errors, QStringList{"No Spice deck: the transient deck models the ANALOG controller only."});
    EXPECT_FALSE(QFile::exists(prompts->exportPath));

    prompts->exportPath = folder.filePath("current.cir");
    EXPECT_TRUE(Frame().FileExportSpiceNetlist(qxr::SpiceDeck::AcCurrent));
    EXPECT_EQ(Read(prompts->exportPath), Deck(qxr::SpiceDeck::AcCurrent));
}

}  // namespace
