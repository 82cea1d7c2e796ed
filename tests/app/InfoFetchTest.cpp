#include <mutex>

#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include "AppFixture.h"
#include "LocalHttpServer.h"
#include "app/QXRViewLog.h"
#include "app/UrlDownloadString.h"
#include "doc/UpdateHints.h"

namespace {

// A fetcher whose results land here instead of on the UI thread.
class CollectingFetcher {
public:
    CollectingFetcher()
        : fetcher([this](CStdSignal* signal) {
              std::lock_guard<std::mutex> lock(mutex);
              texts.push_back(static_cast<CSigDownloadDone*>(signal)->text);
              delete signal;
              return true;
          })
    {
    }

    std::size_t Count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return texts.size();
    }
    QString First()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return texts.empty() ? QString() : texts.front();
    }

    std::mutex mutex;
    std::vector<QString> texts;
    CUrlDownloadString fetcher;
};

QString FetchOnWorker(const QString& address)
{
    CollectingFetcher collecting;
    collecting.fetcher.Start(address);
    EXPECT_TRUE(QTest::qWaitFor([&] { return collecting.Count() == 1; }, 10000)) << qPrintable(address);
    return collecting.First();
}

QString ClosedPortUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/info.html").arg(port);
}

TEST(InfoFetch, TextArrivesWithPlainLineEnds)
{
    LocalHttpServer server("<p>line one</p>\r\n<p>line two</p>");
    EXPECT_EQ(FetchOnWorker(server.Url().toString()), "<p>line one</p>\n<p>line two</p>\n");

    QTemporaryDir dir;
    QFile file(dir.filePath("info.html"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("local\n");
    file.close();
    EXPECT_EQ(FetchOnWorker(QUrl::fromLocalFile(file.fileName()).toString()), "local\n");
}

TEST(InfoFetch, FailuresGiveAnEmptyText)
{
    LocalHttpServer huge(QByteArray(CUrlDownloadString::kMaxBytes + 4096, 'x'));
    // Local files that are not documents: nothing may wait for a writer or read without end.
    QTemporaryDir dir;
    const QString fifo = dir.filePath("info.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QFile hugeFile(dir.filePath("huge.html"));
    ASSERT_TRUE(hugeFile.open(QIODevice::WriteOnly));
    hugeFile.write(QByteArray(CUrlDownloadString::kMaxBytes + 1, 'x'));
    hugeFile.close();
    const QString addresses[] = {ClosedPortUrl(),
                                 huge.Url().toString(),
                                 "file:///nonexistent/info.html",
                                 QUrl::fromLocalFile(fifo).toString(),
                                 "file:///dev/zero",
                                 QUrl::fromLocalFile(dir.path()).toString(),
                                 QUrl::fromLocalFile(hugeFile.fileName()).toString(),
                                 "unknown-scheme://x"};
    for (const QString& address : addresses)
        EXPECT_EQ(FetchOnWorker(address), QString()) << qPrintable(address);
}

TEST(InfoFetch, StoppingDuringAStalledDownloadEndsIt)
{
    LocalHttpServer stalled("never sent", true);
    CollectingFetcher collecting;
    collecting.fetcher.Start(stalled.Url().toString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return stalled.Connections() == 1; }, 5000));
    collecting.fetcher.Stop();  // would wait for the 15 s time-out if the download kept going
    EXPECT_FALSE(collecting.fetcher.IsRunning());
    EXPECT_LE(collecting.Count(), 1u);
    EXPECT_EQ(collecting.First(), QString());
}

class AppInfoFetch : public AppFixture {};

TEST_F(AppInfoFetch, ArrivalSendsHintSixWhetherOrNotItSucceeds)
{
    LocalHttpServer server("<b>hello</b>");
    for (const QString& address : {server.Url().toString(), ClosedPortUrl()}) {
        HintRecorder recorder(Document());
        app->infoFetcher.Start(address);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.hints.empty(); }, 10000)) << qPrintable(address);
        EXPECT_EQ(recorder.hints, std::vector<int>{HINT_INFO_TEXT});
    }
    EXPECT_EQ(app->InfoText(), QString()) << "the failed fetch came last";
}

TEST_F(AppInfoFetch, DocumentIsShownWhenThereIsNothingToList)
{
    LeaveNothingToList();
    LocalHttpServer server("<b>hello</b> from the server");
    app->infoFetcher.Start(server.Url().toString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app->InfoText().isEmpty(); }, 10000));
    EXPECT_EQ(Frame().LogView()->toPlainText().trimmed(), "hello from the server");
}

TEST_F(AppInfoFetch, QuittingDuringAStalledDownloadReturns)
{
    LocalHttpServer stalled("never sent", true);
    app->infoFetcher.Start(stalled.Url().toString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return stalled.Connections() == 1; }, 5000));
    app->ExitInstance();
    EXPECT_FALSE(app->infoFetcher.IsRunning());
    ASSERT_TRUE(app->InitInstance({}));  // for the fixture's tear-down
}

}  // namespace
