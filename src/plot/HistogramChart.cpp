#include "plot/HistogramChart.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QPainter>

namespace {

const QColor kBarFill(0xA6, 0xC8, 0xE6);
const QColor kBarEdge(0x3C, 0x6E, 0xA0);
const QColor kMarkerColor(0xC8, 0x00, 0x00);
constexpr int kMargin = 6;

// Three significant digits, without an exponent for the thousands a crossover reaches.
QString AxisNumber(double value)
{
    return QString::asprintf(std::fabs(value) >= 1000 ? "%.0f" : "%.3g", value);
}

}  // namespace

HistogramChart::HistogramChart(QWidget* parent) : QWidget(parent), marker_(std::numeric_limits<double>::quiet_NaN())
{
    setMinimumSize(160, 110);
}

void HistogramChart::SetTitle(const QString& title)
{
    title_ = title;
    update();
}

void HistogramChart::SetData(double low, double high, std::vector<uint32_t> counts)
{
    low_ = low;
    high_ = high;
    counts_ = std::move(counts);
    update();
}

void HistogramChart::SetMarker(double value, const QString& label)
{
    marker_ = value;
    markerLabel_ = label;
    update();
}

double HistogramChart::AxisLow() const
{
    return std::isnan(marker_) ? low_ : std::min(low_, marker_);
}

double HistogramChart::AxisHigh() const
{
    const double high = std::isnan(marker_) ? high_ : std::max(high_, marker_);
    return high > AxisLow() ? high : AxisLow() + 1;  // a single value still gets a span
}

uint32_t HistogramChart::LargestCount() const
{
    return counts_.empty() ? 0 : *std::max_element(counts_.begin(), counts_.end());
}

QRect HistogramChart::PlotRect() const
{
    const QFontMetrics metrics = fontMetrics();
    const int left = kMargin + metrics.horizontalAdvance(QString::number(LargestCount())) + kMargin;
    const int top = kMargin + metrics.height() + kMargin;
    const int bottom = height() - kMargin - metrics.height() - 2;
    return QRect(QPoint(left, top),
                 QPoint(width() - kMargin - metrics.horizontalAdvance(QStringLiteral("0.00")) / 2, bottom));
}

int HistogramChart::PixelOf(double value, const QRect& plot) const
{
    const double share = (value - AxisLow()) / (AxisHigh() - AxisLow());
    return plot.left() + static_cast<int>(std::lround(share * plot.width()));
}

void HistogramChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(0, kMargin, width(), fontMetrics().height()), Qt::AlignHCenter, title_);
    if (counts_.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, tr("No samples"));
        return;
    }
    const QRect plot = PlotRect();
    if (plot.width() < 2 || plot.height() < 2)
        return;
    DrawBars(painter, plot);
    DrawAxes(painter, plot);
    DrawMarker(painter, plot);
}

void HistogramChart::DrawBars(QPainter& painter, const QRect& plot) const
{
    const double largest = std::max<uint32_t>(LargestCount(), 1);
    const double binWidth = (high_ - low_) / static_cast<double>(counts_.size());
    painter.setPen(kBarEdge);
    painter.setBrush(kBarFill);
    for (std::size_t bin = 0; bin < counts_.size(); ++bin) {
        if (counts_[bin] == 0)
            continue;
        const int left = PixelOf(low_ + binWidth * static_cast<double>(bin), plot);
        const int right = std::max(PixelOf(low_ + binWidth * static_cast<double>(bin + 1), plot), left + 1);
        const int barHeight = static_cast<int>(std::lround(counts_[bin] / largest * plot.height()));
        painter.drawRect(QRect(QPoint(left, plot.bottom() - barHeight), QPoint(right, plot.bottom())));
    }
    painter.setBrush(Qt::NoBrush);
}

void HistogramChart::DrawAxes(QPainter& painter, const QRect& plot) const
{
    const QColor text = palette().color(QPalette::Text);
    painter.setPen(text);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    const QFontMetrics metrics = fontMetrics();
    const int labelTop = plot.bottom() + 2;
    for (double value : {AxisLow(), (AxisLow() + AxisHigh()) / 2, AxisHigh()}) {
        const QString label = AxisNumber(value);
        const int width = metrics.horizontalAdvance(label);
        const int x = std::clamp(PixelOf(value, plot) - width / 2, 0, this->width() - width);
        painter.drawText(QPoint(x, labelTop + metrics.ascent()), label);
    }
    const QString largest = QString::number(LargestCount());
    painter.drawText(QPoint(plot.left() - kMargin - metrics.horizontalAdvance(largest), plot.top() + metrics.ascent()),
                     largest);
}

void HistogramChart::DrawMarker(QPainter& painter, const QRect& plot) const
{
    if (std::isnan(marker_))
        return;
    const int x = PixelOf(marker_, plot);
    painter.setPen(QPen(kMarkerColor, 1, Qt::DashLine));
    painter.drawLine(QPoint(x, plot.top()), QPoint(x, plot.bottom()));
    const int width = fontMetrics().horizontalAdvance(markerLabel_);
    const int labelX = x + 3 + width <= plot.right() ? x + 3 : x - 3 - width;
    painter.drawText(QPoint(labelX, plot.top() + fontMetrics().ascent()), markerLabel_);
}
