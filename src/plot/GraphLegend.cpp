#include "plot/GraphLegend.h"

#include <QFontMetrics>
#include <QPainter>

#include "plot/ScatterGraphLine.h"

namespace {

constexpr int kMargin = 6;         // between the key and the plot's frame
constexpr int kPadding = 4;        // inside the key's frame
constexpr int kSampleLength = 24;  // the pen sample before each name

}  // namespace

QRect LegendRect(const std::vector<CGraphLegendEntry>& entries, const QFont& font, const QRect& plotRect)
{
    if (entries.empty())
        return {};
    const QFontMetrics metrics(font);
    int textWidth = 0;
    for (const CGraphLegendEntry& entry : entries)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(entry.text));
    const int width = 2 * kPadding + kSampleLength + kPadding + textWidth;
    const int height = 2 * kPadding + static_cast<int>(entries.size()) * metrics.height();
    return {plotRect.left() + kMargin, plotRect.top() + plotRect.height() - kMargin - height, width, height};
}

void DrawLegend(QPainter& painter, const std::vector<CGraphLegendEntry>& entries, const QFont& font,
                const QRect& plotRect, GraphColor textColor, GraphColor plotColor, GraphColor frameColor)
{
    const QRect frame = LegendRect(entries, font, plotRect);
    if (frame.isEmpty())
        return;
    painter.fillRect(frame, ToQColor(plotColor));
    painter.setPen(ToQColor(frameColor));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    int top = frame.top() + kPadding;
    for (const CGraphLegendEntry& entry : entries) {
        const int middle = top + metrics.height() / 2;
        const int sampleLeft = frame.left() + kPadding;
        const Qt::PenStyle style = entry.style == CScatterGraphLine::kDashed ? Qt::DashLine : Qt::SolidLine;
        painter.setPen(QPen(ToQColor(entry.color), 1, style));
        painter.drawLine(sampleLeft, middle, sampleLeft + kSampleLength, middle);
        painter.setPen(ToQColor(textColor));
        const QRect textBox(sampleLeft + kSampleLength + kPadding, top, frame.right() - sampleLeft, metrics.height());
        painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, entry.text);
        top += metrics.height();
    }
}
