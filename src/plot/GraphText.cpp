#include "plot/GraphText.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>

CGraphText::CGraphText(const QString& faceName, int height, int escapement)
    : faceName(faceName), height(height), escapement(escapement)
{
    RebuildFont();
}

void CGraphText::RebuildFont()
{
    // The owners' heights measure the whole character cell (ascent and
    // descent); a Qt pixel size measures the em, so shrink it to fit.
    font = QFont(faceName);
    font.setPixelSize(std::max(1, height));
    const int cellHeight = QFontMetrics(font).height();
    if (cellHeight > height)
        font.setPixelSize(std::max(1, height * height / cellHeight));
}

QSize CGraphText::Measure(const QString& text) const
{
    const QFontMetrics metrics(font);
    const QSize size(metrics.horizontalAdvance(text), metrics.height());
    return IsTurned() ? size.transposed() : size;
}

void CGraphText::DrawCentred(QPainter& painter, const QString& text, const QRect& box) const
{
    painter.save();
    painter.setFont(font);
    painter.translate(QRectF(box).center());
    painter.rotate(escapement / 10.0);
    const QSize size = IsTurned() ? box.size().transposed() : box.size();
    painter.drawText(QRect(QPoint(-size.width() / 2, -size.height() / 2), size), Qt::AlignCenter, text);
    painter.restore();
}
