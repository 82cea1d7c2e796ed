#include "plot/GraphLayout.h"

#include <algorithm>
#include <cmath>

#include "plot/GraphText.h"

namespace {

constexpr int kMargin = 10;
constexpr int kMinLabelWidth = 20;

}  // namespace

QRect LayoutGraph(QSize client, const GraphTexts& texts)
{
    const int width = client.width();
    const int height = client.height();
    const int xTitleHeight = texts.xTitle.extent.height();
    const int yTitleWidth = texts.yTitle.extent.width();
    const int topMargin = std::max(kMargin, texts.mainTitle.extent.height());
    const int xLabelsHeight = texts.xLabels.extent.height() + kTickLabelGap;
    const int yLabelsWidth = std::max(kMinLabelWidth, texts.yLabels.extent.width() + kTickLabelGap);

    texts.xTitle.rect = QRect(0, height - xTitleHeight, width, xTitleHeight);
    texts.yTitle.rect = QRect(0, 0, yTitleWidth, height);
    texts.mainTitle.rect = QRect(0, 0, width, texts.mainTitle.extent.height());
    texts.xLabels.rect = QRect(0, height - xTitleHeight - xLabelsHeight, width, xLabelsHeight);
    texts.yLabels.rect = QRect(yTitleWidth, 0, yLabelsWidth, height);

    const int plotWidth = width - yLabelsWidth - yTitleWidth - kMargin;
    const int plotHeight = height - xLabelsHeight - xTitleHeight - topMargin;
    const int left = yTitleWidth + yLabelsWidth;
    const int bottom = height - 1 - xTitleHeight - xLabelsHeight;
    return QRect(QPoint(left, bottom - plotHeight), QPoint(left + plotWidth, bottom));
}

QRect TickLabelBox(const QRect& plotRect, int pixel, QSize labelSize, Qt::Orientation axis)
{
    if (axis == Qt::Vertical) {
        const QPoint onLine = PlotPixel(plotRect, 0, pixel);
        return QRect(QPoint(onLine.x() - kTickLabelGap - labelSize.width(), onLine.y() - labelSize.height() / 2),
                     labelSize);
    }
    const QPoint onLine = PlotPixel(plotRect, pixel, 0);
    return QRect(QPoint(onLine.x() - labelSize.width() / 2, onLine.y() + 1 + kTickLabelGap), labelSize);
}

int HoverIndex(int x, const QRect& plotRect, int count)
{
    if (count <= 0)
        return -1;
    const int plotWidth = plotRect.right() - plotRect.left();
    if (plotWidth <= 0)
        return 0;
    const double position = std::clamp(count * (double(x) - plotRect.left()) / plotWidth, 0.0, double(count));
    const double whole = std::floor(position);
    const int index = static_cast<int>(whole) + (position - whole >= 0.5 ? 1 : 0);
    return std::clamp(index, 0, count - 1);
}
