#include "app/QXRViewLog.h"

#include <QDesktopServices>
#include <QSplitter>
#include <QUrl>

#include "app/LogList.h"
#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"

CQXRViewLog::CQXRViewLog(CQXRDoc& document, const QString& infoText, QWidget* parent)
    : QTextBrowser(parent), document_(document), infoText_(infoText)
{
    setReadOnly(true);
    // A downloaded document must not be able to open local files or programs.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &CQXRViewLog::OpenLink);
    document_.AddView(this);
}

CQXRViewLog::~CQXRViewLog()
{
    document_.RemoveView(this);
}

void CQXRViewLog::OnUpdate(CDocView*, int hint, QObject*)
{
    if (hint == HINT_VALUES || hint == HINT_INFO_TEXT)
        Rebuild();
}

void CQXRViewLog::Rebuild()
{
    const std::u16string list = BuildLogList(document_.model);
    if (!list.empty())
        Show(QString::fromStdU16String(list), false);
    else
        Show(infoText_, true);
}

// Unchanged text leaves the content, selection and scroll position alone.
void CQXRViewLog::Show(const QString& text, bool rich)
{
    if (text == lastShownText_)
        return;
    if (rich)
        setHtml(text);
    else
        setPlainText(text);
    lastShownText_ = text;
}

bool CQXRViewLog::IsSafeLink(const QUrl& link)
{
    const QString scheme = link.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto");
}

void CQXRViewLog::OpenLink(const QUrl& link)
{
    if (IsSafeLink(link))
        QDesktopServices::openUrl(link);
}

QVariant CQXRViewLog::loadResource(int, const QUrl&)
{
    // Empty, not null: for a null answer the document reads the file itself.
    return QByteArray();
}

void CQXRViewLog::resizeEvent(QResizeEvent* event)
{
    QTextBrowser::resizeEvent(event);
    KeepPaneHeight();
}

// The pane stays about kPaneHeight high however the window or the bar above
// it is moved; the review view above takes the rest.
void CQXRViewLog::KeepPaneHeight()
{
    auto* splitter = qobject_cast<QSplitter*>(parentWidget());
    if (splitter == nullptr || splitter->count() != 2)
        return;
    const int height = splitter->height() - splitter->handleWidth();
    if (height <= 0)
        return;
    const QList<int> wanted{qMax(height - kPaneHeight, 0), qMin(kPaneHeight, height)};
    if (splitter->sizes() != wanted)
        splitter->setSizes(wanted);
}
