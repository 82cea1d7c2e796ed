#include <QAction>
#include <QMenu>

#include "app/MainFrame.h"
#include "doc/QXRDoc.h"
#include "model/Utf.h"
#include "spice/SpiceInputs.h"

namespace {

struct DeckAction {
    qxr::SpiceDeck deck;
    const char* text;
    const char* tip;
};

const DeckAction kDeckActions[] = {
    {qxr::SpiceDeck::AcVoltage, QT_TRANSLATE_NOOP("CMainFrame", "&Voltage Loop, AC..."),
     QT_TRANSLATE_NOOP("CMainFrame", "Write the voltage loop as an ngspice deck that measures its loop gain")},
    {qxr::SpiceDeck::AcCurrent, QT_TRANSLATE_NOOP("CMainFrame", "&Current Loop, AC..."),
     QT_TRANSLATE_NOOP("CMainFrame", "Write the current loop as an ngspice deck that measures its loop gain")},
    {qxr::SpiceDeck::Transient, QT_TRANSLATE_NOOP("CMainFrame", "&Stage in Time, Transient..."),
     QT_TRANSLATE_NOOP("CMainFrame", "Write the analog stage as an ngspice deck of its line cycles and load step")},
};

}  // namespace

void CMainFrame::AddSpiceActions(QMenu& menu)
{
    QMenu* decks = menu.addMenu(tr("Export Spice &Netlist"));
    for (const DeckAction& entry : kDeckActions) {
        const qxr::SpiceDeck deck = entry.deck;
        QAction* action = decks->addAction(tr(entry.text), this, [this, deck] { FileExportSpiceNetlist(deck); });
        action->setStatusTip(tr(entry.tip));
    }
}

bool CMainFrame::FileExportSpiceNetlist(qxr::SpiceDeck deck)
{
    const qxr::SpiceInputs inputs = qxr::ReadSpiceInputs(document_.model, qxr::ToUtf8(document_.designDescription));
    const qxr::SpiceDeckText text = qxr::WriteSpiceDeck(inputs, deck);
    if (!text.notWritten.empty()) {
        ShowResult(QString::fromStdString(text.notWritten));
        return false;
    }
    return ExportToFile(tr("Export Spice Netlist"), "-" + QString::fromLatin1(qxr::SpiceDeckWord(deck)) + ".cir",
                        tr("Spice Netlists (*.cir)"), [&text] { return QByteArray::fromStdString(text.text); });
}
