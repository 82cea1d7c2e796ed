#include "app/InfoDocument.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

#include <QCoreApplication>
#include <QStringView>

namespace {

using namespace info_document;

// A piece of a document as a forgiving HTML reader sees it.
struct Piece {
    // Hidden: a comment, a declaration, or the content of a script or style sheet.
    enum class Kind { Text, StartTag, EndTag, Hidden };

    Kind kind;
    QStringView text;  // a text piece as written
    QString name;      // a tag's name, in lower case
};

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsNameCharacter(QChar c)
{
    return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'-';
}

// Splits a document into pieces, reading comments, quoted attribute values,
// scripts and style sheets as the rich-text engine does.
class MarkupReader {
public:
    explicit MarkupReader(QStringView html) : html_(html) {}

    bool AtEnd() const { return next_ == html_.size(); }
    Piece Next();

private:
    Piece NextTag();
    bool StartsMarkup(qsizetype at) const;
    // The position after the first occurrence of end at or after from, or the end.
    qsizetype After(QStringView end, qsizetype from) const;
    // The position after the '>' that ends a start tag; a quote that opens
    // an attribute value hides any '>' up to the closing quote.
    qsizetype StartTagEnd(qsizetype at) const;

    QStringView html_;
    qsizetype next_ = 0;
    QString rawTextEnd_;  // "</script" or "</style" inside one
};

Piece MarkupReader::Next()
{
    const qsizetype start = next_;
    if (!rawTextEnd_.isEmpty()) {
        const qsizetype end = html_.indexOf(rawTextEnd_, start, Qt::CaseInsensitive);
        next_ = end < 0 ? html_.size() : end;
        rawTextEnd_.clear();
        return {Piece::Kind::Hidden, {}, {}};
    }
    if (!StartsMarkup(start)) {
        const qsizetype end = html_.indexOf(u'<', start + 1);
        next_ = end < 0 ? html_.size() : end;
        return {Piece::Kind::Text, html_.sliced(start, next_ - start), {}};
    }
    if (html_.sliced(start).startsWith(u"<!--")) {
        next_ = After(u"-->", start + 4);
        return {Piece::Kind::Hidden, {}, {}};
    }
    if (html_[start + 1] == u'!' || html_[start + 1] == u'?') {
        next_ = After(u">", start);
        return {Piece::Kind::Hidden, {}, {}};
    }
    return NextTag();
}

Piece MarkupReader::NextTag()
{
    const bool isEnd = html_[next_ + 1] == u'/';
    qsizetype at = next_ + (isEnd ? 2 : 1);
    const qsizetype nameStart = at;
    while (at < html_.size() && IsNameCharacter(html_[at]))
        ++at;
    const QString name = html_.sliced(nameStart, at - nameStart).toString().toLower();
    next_ = isEnd ? After(u">", at) : StartTagEnd(at);
    if (!isEnd && (name == u"script" || name == u"style"))
        rawTextEnd_ = QStringLiteral("</") + name;
    return {isEnd ? Piece::Kind::EndTag : Piece::Kind::StartTag, {}, name};
}

bool MarkupReader::StartsMarkup(qsizetype at) const
{
    if (html_[at] != u'<' || at + 1 == html_.size())
        return false;
    const QChar next = html_[at + 1];
    if (next == u'/')
        return at + 2 < html_.size() && IsAsciiLetter(html_[at + 2]);
    return IsAsciiLetter(next) || next == u'!' || next == u'?';
}

qsizetype MarkupReader::After(QStringView end, qsizetype from) const
{
    const qsizetype found = html_.indexOf(end, from);
    return found < 0 ? html_.size() : found + end.size();
}

qsizetype MarkupReader::StartTagEnd(qsizetype at) const
{
    while (at < html_.size()) {
        const QChar c = html_[at++];
        if (c == u'>')
            return at;
        if (c != u'=')
            continue;
        while (at < html_.size() && html_[at].isSpace())
            ++at;
        if (at < html_.size() && (html_[at] == u'"' || html_[at] == u'\''))
            at = After(html_.sliced(at, 1), at + 1);
    }
    return at;
}

template <std::size_t N>
bool IsOneOf(const QString& name, const char16_t* const (&names)[N])
{
    return std::any_of(std::begin(names), std::end(names), [&name](const char16_t* one) { return name == one; });
}

// Elements without content, and those an author may leave open because
// HTML implies their end: neither nests what follows.
bool Nests(const QString& name)
{
    static const char16_t* const kNotNesting[] = {
        u"area",     u"base",    u"br",     u"col",      u"embed", u"hr",    u"img",   u"input",
        u"link",     u"meta",    u"param",  u"source",   u"track", u"wbr",   u"p",     u"li",
        u"dt",       u"dd",      u"tr",     u"td",       u"th",    u"thead", u"tbody", u"tfoot",
        u"colgroup", u"caption", u"option", u"optgroup", u"html",  u"head",  u"body"};
    return !IsOneOf(name, kNotNesting);
}

// Elements whose start and end begin a new line of text.
bool BreaksLine(const QString& name)
{
    static const char16_t* const kBlocks[] = {u"br", u"p",  u"div", u"li", u"tr",  u"table",     u"ul",
                                              u"ol", u"dl", u"dt",  u"dd", u"h1",  u"h2",        u"h3",
                                              u"h4", u"h5", u"h6",  u"hr", u"pre", u"blockquote"};
    return IsOneOf(name, kBlocks);
}

// The line that says the document goes beyond the limit.
QString Beyond(const char* text, int limit)
{
    return QCoreApplication::translate("InfoDocument", text).arg(limit);
}

// The line that says which limit the document goes beyond; empty within all.
QString LimitExceeded(QStringView html)
{
    int elements = 0;
    int depth = 0;
    int tableDepth = 0;
    int characters = 0;
    for (MarkupReader reader(html); !reader.AtEnd();) {
        const Piece piece = reader.Next();
        const bool isTable = piece.name == u"table";
        switch (piece.kind) {
        case Piece::Kind::Text:
            characters += static_cast<int>(
                std::count_if(piece.text.begin(), piece.text.end(), [](QChar c) { return !c.isSpace(); }));
            if (characters > kMaxTextCharacters)
                return Beyond("Shown as plain text: the document holds more than %1 characters of text.",
                              kMaxTextCharacters);
            break;
        case Piece::Kind::StartTag:
            if (++elements > kMaxElements)
                return Beyond("Shown as plain text: the document has more than %1 elements.", kMaxElements);
            if (Nests(piece.name) && ++depth > kMaxDepth)
                return Beyond("Shown as plain text: the document nests elements more than %1 deep.", kMaxDepth);
            if (isTable && ++tableDepth > kMaxTableDepth)
                return Beyond("Shown as plain text: the document nests tables more than %1 deep.", kMaxTableDepth);
            break;
        case Piece::Kind::EndTag:
            if (Nests(piece.name))
                depth = std::max(depth - 1, 0);
            if (isTable)
                tableDepth = std::max(tableDepth - 1, 0);
            break;
        case Piece::Kind::Hidden:
            break;
        }
    }
    return {};
}

// The character an entity such as "amp" or "#x41" stands for; only the
// entities of everyday text are known.
std::optional<char32_t> EntityValue(QStringView name)
{
    static const std::pair<const char16_t*, char32_t> kNamed[] = {{u"amp", u'&'},  {u"lt", u'<'},    {u"gt", u'>'},
                                                                  {u"quot", u'"'}, {u"apos", u'\''}, {u"nbsp", 0xA0}};
    for (const auto& [entity, value] : kNamed) {
        if (name == QStringView(entity))
            return value;
    }
    if (!name.startsWith(u'#'))
        return std::nullopt;
    const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
    bool ok = false;
    const uint code = name.sliced(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return code;
}

// Entities of other kinds, and a lone '&', stay as they are written.
QString DecodeEntities(QStringView text)
{
    constexpr qsizetype kLongestName = 10;
    QString decoded;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype end = text[i] == u'&' ? text.indexOf(u';', i) : -1;
        const auto value =
            end > i && end - i <= kLongestName ? EntityValue(text.sliced(i + 1, end - i - 1)) : std::nullopt;
        if (value) {
            decoded += QChar::fromUcs4(*value);
            i = end;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// Plain text as a browser would lay the document's text out: each run of
// white space one space, or one line break where a line breaks; at most
// kMaxTextCharacters.
class PlainText {
public:
    void Append(QStringView text)
    {
        for (const QChar c : text) {
            if (c.isSpace())
                pending_ = c == u'\n' || pending_ == u'\n' ? u'\n' : u' ';
            else
                Put(c);
        }
    }
    void BreakLine() { pending_ = u'\n'; }
    bool IsFull() const { return characters_ >= kMaxTextCharacters; }
    QString Take() { return IsFull() ? text_ + QStringLiteral(" …") : text_; }

private:
    void Put(QChar c)
    {
        if (IsFull())
            return;
        if (!text_.isEmpty() && !pending_.isNull())
            text_ += pending_;
        pending_ = QChar();
        text_ += c;
        ++characters_;
    }

    QString text_;
    QChar pending_;
    int characters_ = 0;
};

QString TextWithoutMarkup(QStringView html)
{
    PlainText text;
    for (MarkupReader reader(html); !reader.AtEnd() && !text.IsFull();) {
        const Piece piece = reader.Next();
        if (piece.kind == Piece::Kind::Text)
            text.Append(DecodeEntities(piece.text));
        else if (piece.kind != Piece::Kind::Hidden && BreaksLine(piece.name))
            text.BreakLine();
    }
    return text.Take();
}

}  // namespace

QString PrepareInfoDocument(const QString& html)
{
    const QString reason = LimitExceeded(html);
    if (reason.isEmpty())
        return html;
    return QStringLiteral("<p><i>%1</i></p><p style=\"white-space: pre-wrap\">%2</p>")
        .arg(reason.toHtmlEscaped(), TextWithoutMarkup(html).toHtmlEscaped());
}
