#include "pages/SchematicValues.h"

#include <cmath>

#include <QXmlStreamReader>

#include "analysis/NumberText.h"
#include "analysis/PartValues.h"

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
