#include <QFile>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "app/InfoDocument.h"

namespace {

using namespace info_document;

QString Repeated(const QString& piece, int count)
{
    return piece.repeated(count);
}

// Elements nested inside each other, with text in the innermost.
QString Nested(const QString& start, const QString& end, int depth)
{
    return Repeated(start, depth) + QStringLiteral("inner") + Repeated(end, depth);
}

// The text a reader sees when the prepared document is shown.
QString ShownText(const QString& html)
{
    QTextDocument document;
    document.setHtml(PrepareInfoDocument(html));
    return document.toPlainText();
}

QString ReasonLine(const QString& html)
{
    return ShownText(html).section(QLatin1Char('\n'), 0, 0);
}

TEST(InfoDocument, DocumentsWithinTheLimitsStayAsTheyAre)
{
    QFile builtIn(QStringLiteral(":/info/qxr-info.html"));
    ASSERT_TRUE(builtIn.open(QIODevice::ReadOnly));
    const QString cases[] = {
        QString::fromUtf8(builtIn.readAll()),
        QString(),
        Repeated(QStringLiteral("<b>x</b>"), kMaxElements),
        Nested(QStringLiteral("<div>"), QStringLiteral("</div>"), kMaxDepth),
        Nested(QStringLiteral("<table><tr><td>"), QStringLiteral("</td></tr></table>"), kMaxTableDepth),
        Repeated(QStringLiteral("<table><tr><td>a</td></tr></table>"), 100),
        QStringLiteral("<p>") + QString(kMaxTextCharacters, QLatin1Char('x')) + Repeated(QStringLiteral(" \n"), 5000),
        // What HTML lets an author leave open, and what never holds content, does not nest.
        QStringLiteral("<ul>") + Repeated(QStringLiteral("<li>item<p>text<br><img src=x>"), 200) +
            QStringLiteral("</ul>"),
        // Markup in comments, attribute values, scripts and style sheets counts for nothing.
        QStringLiteral("<!-- ") + Repeated(QStringLiteral("<table>"), 50) + QStringLiteral(" -->") +
            QStringLiteral("<a title=\"a > <table><table><table><table>\">x</a>") + QStringLiteral("<script>") +
            Repeated(QStringLiteral("if (a<table) b();"), 2000) + QStringLiteral("</script>") +
            QStringLiteral("<style>") + Repeated(QStringLiteral("table>td{}"), 2000) + QStringLiteral("</style>"),
    };
    for (const QString& html : cases)
        EXPECT_EQ(PrepareInfoDocument(html), html) << qPrintable(html.left(80));
}

TEST(InfoDocument, BeyondALimitTheTextIsShownWithTheReason)
{
    const struct {
        const char* what;
        QString html;
        QString reason;
    } cases[] = {
        {"elements", Repeated(QStringLiteral("<b>x</b>"), kMaxElements + 1),
         QStringLiteral("Shown as plain text: the document has more than 1000 elements.")},
        {"depth", Nested(QStringLiteral("<div>"), QStringLiteral("</div>"), kMaxDepth + 1),
         QStringLiteral("Shown as plain text: the document nests elements more than 32 deep.")},
        {"tables", Nested(QStringLiteral("<table><tr><td>"), QStringLiteral("</td></tr></table>"), kMaxTableDepth + 1),
         QStringLiteral("Shown as plain text: the document nests tables more than 3 deep.")},
        {"tables left open", Repeated(QStringLiteral("<table><tr><td>"), kMaxTableDepth + 1),
         QStringLiteral("Shown as plain text: the document nests tables more than 3 deep.")},
        {"text", QString(kMaxTextCharacters + 1, QLatin1Char('x')),
         QStringLiteral("Shown as plain text: the document holds more than 16000 characters of text.")},
        {"the 20 000 nested tables",
         Nested(QStringLiteral("<table><tr><td>"), QStringLiteral("</td></tr></table>"), 20000),
         QStringLiteral("Shown as plain text: the document nests tables more than 3 deep.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReasonLine(c.html), c.reason);
    }
}

TEST(InfoDocument, PlainTextIsTheTextAReaderWouldSee)
{
    const QString html =
        QStringLiteral("<html><head><title>T</title><style>p { color: red }</style></head><body>\n"
                       "<h1>Title</h1>\n\n<p>One &amp; two&nbsp;&lt;three&gt;   &#x41;&#66; &bogus; &amp &</p>"
                       "<script>if (a < b) alert('x');</script><!-- hidden -->"
                       "<ul><li>first<li>second</ul>back to <b>bold</b> text</body></html>");
    const QString tooManyElements = Repeated(QStringLiteral("<i></i>"), kMaxElements);

    EXPECT_EQ(ShownText(html + tooManyElements),
              QStringLiteral("Shown as plain text: the document has more than 1000 elements.\n"
                             "T\nTitle\nOne & two <three> AB &bogus; &amp &\nfirst\nsecond\nback to bold text"));
}

TEST(InfoDocument, LongTextIsCutAtTheLimit)
{
    const QString shown = ShownText(Repeated(QStringLiteral("word "), kMaxTextCharacters));
    const QString text = shown.section(QLatin1Char('\n'), 1);
    EXPECT_EQ(text.count(QStringLiteral("word")), kMaxTextCharacters / 4);
    EXPECT_TRUE(text.endsWith(QStringLiteral("word …"))) << qPrintable(text.right(20));
}

}  // namespace
