#include "pages/PageTemplate.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

// The integer that follows the start element the reader stands on.
int ReadInt(QXmlStreamReader& xml)
{
    return xml.readElementText().toInt();
}

QRect ReadRect(QXmlStreamReader& xml)
{
    QRect rect;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("x"))
            rect.moveLeft(ReadInt(xml));
        else if (xml.name() == QLatin1String("y"))
            rect.moveTop(ReadInt(xml));
        else if (xml.name() == QLatin1String("width"))
            rect.setWidth(ReadInt(xml));
        else if (xml.name() == QLatin1String("height"))
            rect.setHeight(ReadInt(xml));
        else
            xml.skipCurrentElement();
    }
    return rect;
}

// Reads the properties of the widget element the reader stands in; child
// widgets are handed to onChild.
template <class OnChild>
void ReadWidget(QXmlStreamReader& xml, TemplateControl& control, OnChild onChild)
{
    control.className = xml.attributes().value(QLatin1String("class")).toString();
    control.name = xml.attributes().value(QLatin1String("name")).toString();
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("widget")) {
            onChild();
        } else if (xml.name() == QLatin1String("property")) {
            const auto property = xml.attributes().value(QLatin1String("name"));
            if (property == QLatin1String("geometry") && xml.readNextStartElement()) {
                control.rect = ReadRect(xml);
                xml.skipCurrentElement();
            } else if (property == QLatin1String("text") && xml.readNextStartElement()) {
                control.text = xml.readElementText();
                xml.skipCurrentElement();
            } else if (property == QLatin1String("visible") && xml.readNextStartElement()) {
                control.visible = xml.readElementText() != QLatin1String("false");
                xml.skipCurrentElement();
            } else if (property == QLatin1String("readOnly") && xml.readNextStartElement()) {
                control.readOnly = xml.readElementText() == QLatin1String("true");
                xml.skipCurrentElement();
            } else if (property == QLatin1String("alignment") && xml.readNextStartElement()) {
                control.alignRight = xml.readElementText().contains(QLatin1String("AlignRight"));
                xml.skipCurrentElement();
            } else {
                xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
}

}  // namespace

std::optional<PageTemplate> ParsePageTemplate(const QByteArray& uiXml)
{
    QXmlStreamReader xml(uiXml);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("ui"))
        return std::nullopt;
    PageTemplate page;
    bool haveForm = false;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("widget") || haveForm) {
            xml.skipCurrentElement();
            continue;
        }
        haveForm = true;
        TemplateControl form;
        ReadWidget(xml, form, [&] {
            TemplateControl child;
            ReadWidget(xml, child, [&] { xml.skipCurrentElement(); });
            page.controls.push_back(child);
        });
        page.size = form.rect.size();
    }
    if (xml.hasError() || !haveForm)
        return std::nullopt;
    return page;
}

std::optional<PageTemplate> LoadPageTemplate(int id)
{
    QFile file(QStringLiteral(":/templates/%1.ui").arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ParsePageTemplate(file.readAll());
}

DialogUnits::DialogUnits(const QFontMetrics& metrics) : DialogUnits(metrics.averageCharWidth(), metrics.height())
{
}

int DialogUnits::X(int units) const
{
    return (units * baseX_ + 2) / 4;
}

int DialogUnits::Y(int units) const
{
    return (units * baseY_ + 4) / 8;
}

QRect DialogUnits::ToPixels(const QRect& dialogRect) const
{
    const int left = X(dialogRect.x());
    const int top = Y(dialogRect.y());
    const int right = X(dialogRect.x() + dialogRect.width());
    const int bottom = Y(dialogRect.y() + dialogRect.height());
    return QRect(left, top, right - left, bottom - top);
}

QSize DialogUnits::ToPixels(const QSize& dialogSize) const
{
    return QSize(X(dialogSize.width()), Y(dialogSize.height()));
}
