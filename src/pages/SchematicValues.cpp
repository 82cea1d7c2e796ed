#include "pages/SchematicValues.h"

#include <algorithm>
#include <cmath>

#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QXmlStreamReader>

#include "analysis/NumberText.h"
#include "analysis/PartValues.h"
#include "pages/DesignPages.h"

namespace {

const QString kValuePrefix = QStringLiteral("value-");

Qt::Alignment AlignmentOf(QStringView textAnchor)
{
    if (textAnchor == u"middle")
        return Qt::AlignHCenter;
    return textAnchor == u"end" ? Qt::AlignRight : Qt::AlignLeft;
}

QString PartValueText(const qxr::PartValue& part)
{
    const bool rounded = part.series != CSeries::None && !std::isnan(part.standard);
    return QString::fromStdString(
        qxr::FormatEngineering(rounded ? part.standard : part.inForce, qxr::BaseUnitOf(part.kind), rounded ? 3 : 4));
}

}  // namespace

std::map<QString, PictureText> ReadValueAnchors(const QByteArray& svg)
{
    std::map<QString, PictureText> anchors;
    QXmlStreamReader reader(svg);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"text")
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        const QString id = attributes.value(QLatin1String("id")).toString();
        if (!id.startsWith(kValuePrefix))
            continue;
        PictureText anchor;
        anchor.point = {attributes.value(QLatin1String("x")).toDouble(),
                        attributes.value(QLatin1String("y")).toDouble()};
        anchor.alignment = AlignmentOf(attributes.value(QLatin1String("text-anchor")));
        anchor.fontSize = attributes.value(QLatin1String("font-size")).toDouble();
        anchors[id.mid(kValuePrefix.size())] = anchor;
    }
    return anchors;
}

std::vector<PictureText> SchematicValueTexts(CDesignModel& model, const std::map<QString, PictureText>& anchors)
{
    std::vector<PictureText> texts;
    for (const qxr::PartValue& part : qxr::PartValuesOf(model)) {
        const auto anchor = anchors.find(QString::fromStdString(part.designator));
        if (anchor == anchors.end())
            continue;
        PictureText text = anchor->second;
        text.text = PartValueText(part);
        texts.push_back(text);
    }
    return texts;
}

std::map<QString, PictureText> SchematicValueAnchors()
{
    QFile drawing(QStringLiteral(":/pictures/%1.svg").arg(CTabSchematic::kAnalogSchematic));
    return drawing.open(QIODevice::ReadOnly) ? ReadValueAnchors(drawing.readAll()) : std::map<QString, PictureText>{};
}

void PaintPictureTexts(QPainter& painter, const QRectF& target, const QRectF& viewBox,
                       const std::vector<PictureText>& texts)
{
    if (texts.empty() || viewBox.isEmpty())
        return;
    const double scale = target.width() / viewBox.width();
    painter.save();
    painter.setPen(QColor(0x1F, 0x4E, 0x9A));
    for (const PictureText& text : texts) {
        QFont font = painter.font();
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(text.fontSize * scale))));
        painter.setFont(font);
        const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(text.text);
        QPointF at = target.topLeft() + (text.point - viewBox.topLeft()) * scale;
        if (text.alignment & Qt::AlignHCenter)
            at.rx() -= width / 2;
        else if (text.alignment & Qt::AlignRight)
            at.rx() -= width;
        painter.drawText(at, text.text);
    }
    painter.restore();
}
