#include "plot/GraphScatter.h"

#include <algorithm>
#include <cmath>
#include <new>

#include <QMouseEvent>
#include <QPainter>

#include "plot/GraphLayout.h"

namespace {

// The largest label of any tick, minor ticks included, in the label font.
QSize LargestLabel(const CGraphAxis& axis, const CGraphText& labels)
{
    QSize largest(0, 0);
    ForEachTick(axis,
                [&](double value, int, bool) { largest = largest.expandedTo(labels.Measure(FormatAxisValue(value))); });
    return largest;
}

int PlotWidth(const QRect& plotRect)
{
    return std::max(0, plotRect.right() - plotRect.left());
}

int PlotHeight(const QRect& plotRect)
{
    return std::max(0, plotRect.bottom() - plotRect.top());
}

// A grid line across the plot at pixel offset `pixel` of the Y axis
// (horizontal) or of the X axis (vertical).
QLine GridLine(const QRect& plotRect, int pixel, Qt::Orientation axis)
{
    if (axis == Qt::Vertical)
        return {PlotPixel(plotRect, 0, pixel), PlotPixel(plotRect, PlotWidth(plotRect), pixel)};
    return {PlotPixel(plotRect, pixel, 0), PlotPixel(plotRect, pixel, PlotHeight(plotRect))};
}

}  // namespace

CGraphScatter::CGraphScatter(QWidget* parent, CHoverClock& clock)
    : QWidget(parent), hoverThrottle_(clock, [this](QPoint position) { ReportHover(position); })
{
    setMouseTracking(true);
    // The picture covers every pixel: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CGraphScatter::~CGraphScatter() = default;

bool CGraphScatter::AddLine(int id, GraphColor color, int style)
{
    try {
        auto line = std::make_unique<CScatterGraphLine>();
        line->id = id;
        line->color = color;
        line->style = style;
        lines.push_back(std::move(line));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

CGraphScatter::LineList::reverse_iterator CGraphScatter::LastLineWithId(int id)
{
    return std::find_if(lines.rbegin(), lines.rend(), [id](const auto& line) { return line->id == id; });
}

CScatterGraphLine* CGraphScatter::FindLine(int id)
{
    const auto found = LastLineWithId(id);
    return found == lines.rend() ? nullptr : found->get();
}

void CGraphScatter::RemoveLine(int id)
{
    const auto found = LastLineWithId(id);
    if (found != lines.rend())
        lines.erase(std::next(found).base());
    RecalcRanges();
}

void CGraphScatter::ClearLine(int id)
{
    if (CScatterGraphLine* line = FindLine(id))
        line->points.clear();
}

bool CGraphScatter::AddPoint(double x, double y, int lineId)
{
    CScatterGraphLine* line = FindLine(lineId);
    if (!line || std::isnan(x) || std::isnan(y))
        return false;
    line->points.push_back({x, y});
    xAxis.ExtendAutoRange(x);
    yAxis.ExtendAutoRange(y);
    return true;
}

void CGraphScatter::RecalcRanges()
{
    xAxis.ResetAutoRange();
    yAxis.ResetAutoRange();
    for (const auto& line : lines) {
        for (const CScatterGraphPoint& point : line->points) {
            xAxis.ExtendAutoRange(point.x);
            yAxis.ExtendAutoRange(point.y);
        }
    }
}

void CGraphScatter::Redraw()
{
    pictureStale_ = true;
    repaint();
}

void CGraphScatter::paintEvent(QPaintEvent*)
{
    if (size().isEmpty())
        return;
    if (pictureStale_ || picture_.deviceIndependentSize() != QSizeF(size())) {
        RenderPicture();
        pictureStale_ = false;
    }
    QPainter(this).drawPixmap(0, 0, picture_);
}

void CGraphScatter::mouseMoveEvent(QMouseEvent* event)
{
    hoverThrottle_.Move(event->position().toPoint());
    event->accept();
}

void CGraphScatter::leaveEvent(QEvent*)
{
    // A move still held back would bring the cursor back after it left.
    hoverThrottle_.Leave();
    emit HoverLeft();
}

void CGraphScatter::ReportHover(QPoint position)
{
    hoverPoint = position;
    emit HoverMoved(position);
}

void CGraphScatter::Paint(QPainter& painter, QSize size)
{
    PaintPicture(painter, size);
    // The layout members now describe that picture; the screen's is laid out again.
    pictureStale_ = true;
    update();
}

void CGraphScatter::RenderPicture()
{
    const qreal pixelRatio = devicePixelRatioF();
    picture_ = QPixmap(size() * pixelRatio);
    picture_.setDevicePixelRatio(pixelRatio);
    QPainter painter(&picture_);
    PaintPicture(painter, size());
}

void CGraphScatter::PaintPicture(QPainter& painter, QSize size)
{
    clientRect = QRect(QPoint(0, 0), size);
    MeasureTexts();
    plotRect = LayoutGraph(size, {mainTitle, xTitle, yTitle, xLabels, yLabels});
    xAxis.SetPixelMapping(PlotWidth(plotRect));
    yAxis.SetPixelMapping(PlotHeight(plotRect));

    painter.fillRect(clientRect, ToQColor(backColor));
    DrawTitles(painter);
    if (!plotRect.isValid())
        return;  // too small for a plot
    DrawPlotArea(painter);
    DrawGrid(painter, yAxis, Qt::Vertical);
    DrawGrid(painter, xAxis, Qt::Horizontal);
    DrawLines(painter);
    DrawLegend(painter, legend, yLabels.font, plotRect, textColor, plotColor, gridColor);
}

void CGraphScatter::MeasureTexts()
{
    for (CGraphText* title : {&mainTitle, &xTitle, &yTitle})
        title->extent = title->Measure(title->text);
    xLabels.extent = LargestLabel(xAxis, xLabels);
    yLabels.extent = LargestLabel(yAxis, yLabels);
}

void CGraphScatter::DrawTitles(QPainter& painter) const
{
    painter.setPen(ToQColor(textColor));
    for (const CGraphText* title : {&mainTitle, &xTitle, &yTitle})
        title->DrawCentred(painter, title->text, title->rect);
}

void CGraphScatter::DrawPlotArea(QPainter& painter) const
{
    painter.fillRect(plotRect, ToQColor(plotColor));
    painter.setPen(ToQColor(gridColor));
    painter.drawRect(plotRect.adjusted(0, 0, -1, -1));  // a stroked rectangle is one pixel larger
}

void CGraphScatter::DrawGrid(QPainter& painter, const CGraphAxis& axis, Qt::Orientation orientation) const
{
    const CGraphText& labels = orientation == Qt::Vertical ? yLabels : xLabels;
    const QPen minorPen(ToQColor(gridColor));
    const QPen majorPen(ToQColor(MajorGridColor(gridColor)));
    const QPen textPen(ToQColor(textColor));
    ForEachTick(axis, [&](double value, int pixel, bool major) {
        painter.setPen(major ? majorPen : minorPen);
        painter.drawLine(GridLine(plotRect, pixel, orientation));
        if (!major)
            return;
        const QString label = FormatAxisValue(value);
        painter.setPen(textPen);
        labels.DrawCentred(painter, label, TickLabelBox(plotRect, pixel, labels.Measure(label), orientation));
    });
}

void CGraphScatter::DrawLines(QPainter& painter) const
{
    for (const auto& line : lines) {
        if (!line->visible)
            continue;
        if (line->style == CScatterGraphLine::kBand) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(ToQColor(line->color));
            painter.drawPolygon(PlotBandOutline(*line, xAxis, yAxis, plotRect));
            painter.setBrush(Qt::NoBrush);
            continue;
        }
        const Qt::PenStyle style = line->style == CScatterGraphLine::kDashed ? Qt::DashLine : Qt::SolidLine;
        painter.setPen(QPen(ToQColor(line->color), 1, style));
        painter.drawPolyline(PlotPolyline(*line, xAxis, yAxis, plotRect));
    }
}
