#include "app/UrlDownloadString.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include "doc/FileNames.h"
#include "model/FileBytes.h"

namespace {

// One line per line of the document, each ended by "\n", whatever its line ends were.
QString NormaliseLines(const QByteArray& bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QString text;
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        text += line + QLatin1Char('\n');
    }
    return text;
}

// A local document is read like a design: a regular file only, without
// waiting, so that a FIFO or a device cannot hold the fetch thread.
QString ReadLocalDocument(const QUrl& url, qint64 maxBytes)
{
    int unreadable = 0;
    const auto bytes =
        ReadFileBytes(FileNameBytes(url.toLocalFile()).toStdString(), unreadable, static_cast<std::size_t>(maxBytes));
    if (!bytes)
        return QString();
    return NormaliseLines(
        QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size())));
}

}  // namespace

CUrlDownloadString::CUrlDownloadString(Poster poster, Preparer prepare)
    : poster_(std::move(poster)), prepare_(std::move(prepare))
{
}

CUrlDownloadString::~CUrlDownloadString()
{
    Stop();
}

void CUrlDownloadString::Start(const QString& address)
{
    Queue(std::make_unique<CSigDownloadFile>(address));
    StartThread();
}

void CUrlDownloadString::Handle(CStdSignal& request)
{
    if (request.Id() != CStdSignal::kDownloadFileId)
        return;
    const QString text = Fetch(static_cast<CSigDownloadFile&>(request).address);
    auto* done = new CSigDownloadDone(prepare_ ? prepare_(text) : text);
    if (!poster_(done))
        delete done;
}

QString CUrlDownloadString::Fetch(const QString& address)
{
    const QUrl url(address);
    if (url.isLocalFile())
        return ReadLocalDocument(url, kMaxBytes);
    QNetworkAccessManager network;
    QNetworkRequest request{url};
    request.setTransferTimeout(kTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = network.get(request);

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    QObject::connect(reply, &QNetworkReply::finished, &loop, [&loop] { loop.exit(0); });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&loop](qint64 received, qint64) {
        if (received > kMaxBytes)
            loop.exit(1);
    });
    deadline.start(kTimeoutMs);

    {
        std::lock_guard<std::mutex> lock(loopMutex_);
        if (StopRequested()) {
            delete reply;
            return QString();
        }
        activeLoop_ = &loop;
    }
    const bool completed = reply->isFinished() || loop.exec() == 0;
    {
        std::lock_guard<std::mutex> lock(loopMutex_);
        activeLoop_ = nullptr;
    }

    QString text;
    if (completed && reply->error() == QNetworkReply::NoError && reply->bytesAvailable() <= kMaxBytes)
        text = NormaliseLines(reply->readAll());
    reply->abort();
    delete reply;
    return text;
}

void CUrlDownloadString::OnStopRequested()
{
    std::lock_guard<std::mutex> lock(loopMutex_);
    if (activeLoop_ != nullptr)
        QMetaObject::invokeMethod(
            activeLoop_, [loop = activeLoop_] { loop->exit(1); }, Qt::QueuedConnection);
}
