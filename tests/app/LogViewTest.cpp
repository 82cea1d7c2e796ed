#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QScrollBar>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTextFrame>
#include <QUrl>

#include "AppFixture.h"
#include "NonDesignFiles.h"
#include "analysis/Recalculate.h"
#include "app/LogList.h"
#include "app/QXRViewLog.h"
#include "app/TabViews.h"
#include "doc/UpdateHints.h"

namespace {

const std::u16string kOutside = u" value is outside of recommended limits\n";

TEST(LogList, ListsMessagesThenOutOfRangeSymbolsInUse)
{
    CDesignModel model;
    model.F__X_ILOOP.SetUser(3000);  // clear of the right-half-plane zero: no design message
    qxr::Recalculate(model);
    EXPECT_EQ(BuildLogList(model), u"");

    model.messages = "first message\nsecond message\n";
    model.PM__ILOOP.SetUser(80);  // outside 40..75, in use
    model.F__X_VLOOP.SetUser(1);  // outside 2..15, in use
    model.V__OUT.limitMax = 10;   // limits 0..10, value 385
    model.V__OUT.inUse = true;
    model.F__CP0_VL.limitMax = 10;  // outside but not used by the calculation
    model.F__CP0_VL.SetUser(20);
    model.F__CP0_VL.inUse = false;
    const std::u16string messages = u"first message\nsecond message\n";
    const std::u16string outside = u"V__OUT - Output Voltage" + kOutside +
                                   u"F__X_VLOOP - Required Crossover Frequency of the Voltage Loop" + kOutside +
                                   u"PM__ILOOP - Required Phase Margin of the Current Loop" + kOutside;
    EXPECT_EQ(BuildLogList(model), messages + outside);
}

TEST(LogList, LimitEdgeCases)
{
    struct Case {
        double min, max, value;
        bool listed;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {0, 10, -1, true}, {0, 10, 0, false}, {0, 10, 10, false},   {0, 0, -1, false},
        {-5, 0, 1, true},  {nan, 0, 5, true}, {nan, nan, 5, false}, {40, 75, nan, false},
    };
    for (const Case& c : cases) {
        CDesignModel model;
        model.E__ff.limitMin = c.min;
        model.E__ff.limitMax = c.max;
        model.E__ff.SetUser(c.value);
        model.E__ff.inUse = true;
        EXPECT_EQ(!BuildLogList(model).empty(), c.listed) << c.min << ".." << c.max << " " << c.value;
    }
}

class LogView : public AppFixture {
protected:
    CQXRViewLog& Log() { return *Frame().LogView(); }

    // An edit as a page commits it.
    void Commit(CSymbol& symbol, double value)
    {
        symbol.SetUser(value);
        Document().SetModifiedFlag();
        qxr::Recalculate(Document().model);
        Document().UpdateAllViews(nullptr, HINT_VALUES);
    }
};

TEST_F(LogView, ShowsTheListOrElseTheInformationalDocument)
{
    LeaveNothingToList();
    DeliverInfoText("<p>Welcome <a href='https://example.org/'>here</a></p>");
    EXPECT_TRUE(Log().toPlainText().startsWith("Welcome here"));

    Commit(Document().model.PM__VLOOP, 30);
    EXPECT_EQ(Log().toPlainText(),
              "PM__VLOOP - Required Phase Margin of the Voltage Loop value is outside of recommended limits\n");

    // The document arriving again changes nothing while there is a list.
    DeliverInfoText("<p>Other</p>");
    EXPECT_TRUE(Log().toPlainText().startsWith("PM__VLOOP"));

    Commit(Document().model.PM__VLOOP, 60);
    EXPECT_EQ(Log().toPlainText(), "Other");
}

TEST_F(LogView, TheSameTextLeavesSelectionAndScrollAlone)
{
    for (int i = 0; i < 40; ++i)
        Document().model.AppendMessage("a long list of messages");
    Document().UpdateAllViews(nullptr, HINT_VALUES);
    Log().selectAll();
    Log().verticalScrollBar()->setValue(Log().verticalScrollBar()->maximum());
    const int scrolled = Log().verticalScrollBar()->value();

    Document().UpdateAllViews(nullptr, HINT_VALUES);
    EXPECT_TRUE(Log().textCursor().hasSelection());
    EXPECT_EQ(Log().verticalScrollBar()->value(), scrolled);
    EXPECT_GT(scrolled, 0);
}

TEST_F(LogView, TwentyThousandNestedTablesAreShownAsText)
{
    LeaveNothingToList();
    QTemporaryDir dir;
    QFile file(dir.filePath("deep.html"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("<table><tr><td>").repeated(20000) + "deep inside" +
               QByteArray("</td></tr></table>").repeated(20000));
    file.close();

    app->infoFetcher.Start(QUrl::fromLocalFile(file.fileName()).toString());
    ASSERT_TRUE(QTest::qWaitFor([] { return !app->InfoText().isEmpty(); }, 10000));

    EXPECT_EQ(Log().toPlainText(), "Shown as plain text: the document nests tables more than 3 deep.\ndeep inside");
    EXPECT_TRUE(Log().document()->rootFrame()->childFrames().isEmpty()) << "a table reached the layout";
}

TEST_F(LogView, PicturesAndStyleSheetsADocumentNamesAreNotRead)
{
    LeaveNothingToList();
    // Reading a FIFO without a writer would never end.
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo");
    ASSERT_TRUE(non_design_files::MakeFifo(fifo.toStdString()));
    DeliverInfoText(QStringLiteral("<html><head><link rel='stylesheet' href='%1'></head>"
                                   "<body><p>before</p><img src='%2'><p>after</p></body></html>")
                        .arg(fifo, QUrl::fromLocalFile(fifo).toString()));
    // Pictures load when the layout asks for their size.
    Log().document()->documentLayout()->documentSize();
    Log().grab();
    EXPECT_TRUE(Log().toPlainText().endsWith("after"));
}

TEST_F(LogView, OnlyWebAndMailLinksOpen)
{
    EXPECT_TRUE(CQXRViewLog::IsSafeLink(QUrl("https://example.org/a")));
    EXPECT_TRUE(CQXRViewLog::IsSafeLink(QUrl("HTTP://example.org/")));
    EXPECT_TRUE(CQXRViewLog::IsSafeLink(QUrl("mailto:someone@example.org")));
    EXPECT_FALSE(CQXRViewLog::IsSafeLink(QUrl("file:///usr/bin/xterm")));
    EXPECT_FALSE(CQXRViewLog::IsSafeLink(QUrl("javascript:alert(1)")));
    EXPECT_FALSE(CQXRViewLog::IsSafeLink(QUrl("/bin/sh")));
}

TEST_F(LogView, PaneStaysAboutOneHundredPixelsHigh)
{
    QSplitter& splitter = *Frame().InnerSplitter();
    for (const QSize& size : {QSize(1200, 800), QSize(900, 500), QSize(1400, 1000)}) {
        Frame().resize(size);
        QCoreApplication::processEvents();
        EXPECT_EQ(Log().height(), CQXRViewLog::kPaneHeight) << size.height();
    }
    // Dragging the bar between review and log gives the log its height back.
    splitter.setSizes({splitter.height() - 300, 300});
    QCoreApplication::processEvents();
    EXPECT_EQ(Log().height(), CQXRViewLog::kPaneHeight);

    // A window squeezed below the panes' minimums: the review view keeps its
    // minimum height and the log pane stays on show beneath it.
    Frame().resize(600, 150);
    QCoreApplication::processEvents();
    EXPECT_EQ(splitter.sizes().first(), Frame().ReviewView()->minimumHeight());
    EXPECT_GT(Log().height(), 0);
}

}  // namespace
