#include "figures/PictureTexts.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPainter>

QByteArray PictureData(int id)
{
    const std::string_view bytes = qxr::PictureBytes(id);
    return QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void PaintPictureTexts(QPainter& painter, const QRectF& target, const QRectF& viewBox,
                       const std::vector<qxr::PictureText>& texts)
{
    if (texts.empty() || viewBox.isEmpty())
        return;
    const double scale = target.width() / viewBox.width();
    painter.save();
    painter.setPen(QColor(0x1F, 0x4E, 0x9A));
    for (const qxr::PictureText& text : texts) {
        QFont font = painter.font();
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(text.fontSize * scale))));
        painter.setFont(font);
        const QString shown = QString::fromStdString(text.text);
        const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(shown);
        QPointF at = target.topLeft() + (QPointF(text.x, text.y) - viewBox.topLeft()) * scale;
        if (text.anchor == qxr::TextAnchor::Middle)
            at.rx() -= width / 2;
        else if (text.anchor == qxr::TextAnchor::End)
            at.rx() -= width;
        painter.drawText(at, shown);
    }
    painter.restore();
}
