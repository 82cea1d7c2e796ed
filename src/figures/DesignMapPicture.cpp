#include "figures/DesignMapPicture.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include "present/MapColours.h"
#include "present/MapContours.h"
#include "present/NumberFormat.h"

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("DesignMap", text);
}

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

QColor ToQColor(const qxr::Rgb& colour)
{
    return QColor::fromRgbF(static_cast<float>(colour.r), static_cast<float>(colour.g), static_cast<float>(colour.b));
}

QFontMetricsF Metrics(QPainter& painter)
{
    return QFontMetricsF(painter.font(), painter.device());
}

double LegendWidth(const QFontMetricsF& metrics)
{
    return metrics.horizontalAdvance(QStringLiteral("MMMMMMMMMMMMM"));
}

// Where a value falls among a rising grid's points, in fractional indexes;
// the crossovers are log-spaced, so they are compared in logarithms.
double FractionalIndex(const std::vector<double>& grid, double value, bool logarithmic)
{
    const auto scale = [logarithmic](double x) { return logarithmic ? std::log(x) : x; };
    if (grid.size() < 2 || std::isnan(value) || value <= 0)
        return std::numeric_limits<double>::quiet_NaN();
    const double first = scale(grid.front()), last = scale(grid.back());
    return (scale(value) - first) / (last - first) * static_cast<double>(grid.size() - 1);
}

struct Frame {
    QRectF plot;
    std::size_t rows, columns;

    double CellWidth() const { return plot.width() / static_cast<double>(columns); }
    double CellHeight() const { return plot.height() / static_cast<double>(rows); }
    // Rows rise upwards: the highest phase margin at the top.
    QPointF At(double column, double row) const
    {
        return {plot.left() + (column + 0.5) * CellWidth(), plot.bottom() - (row + 0.5) * CellHeight()};
    }
    QRectF Cell(std::size_t row, std::size_t column) const
    {
        const QPointF centre = At(static_cast<double>(column), static_cast<double>(row));
        return {centre.x() - CellWidth() / 2, centre.y() - CellHeight() / 2, CellWidth(), CellHeight()};
    }
};

void PaintCells(QPainter& painter, const Frame& frame, const qxr::DesignMap& map, const MapInk& ink)
{
    const QBrush hatch(ink.text, Qt::BDiagPattern);
    for (std::size_t row = 0; row < frame.rows; ++row) {
        for (std::size_t column = 0; column < frame.columns; ++column) {
            const qxr::MapCell& cell = map.At(row, column);
            if (!cell.computed)
                continue;
            const QRectF rect = frame.Cell(row, column).adjusted(0, 0, 0.5, 0.5);  // no seams between cells
            if (!cell.realisable) {
                painter.fillRect(rect, hatch);
                continue;
            }
            painter.fillRect(rect, std::isnan(cell.worstPm)
                                       ? QColor(Qt::gray)
                                       : ToQColor(qxr::Viridis(qxr::MapScalePosition(cell.worstPm))));
        }
    }
}

// A thin line's width: a tenth of a text line, on the screen and on paper alike.
double LineWidth(QPainter& painter)
{
    return Metrics(painter).height() / 10;
}

// A line drawn twice, dark under light, so that it shows on every colour of
// the scale; width in thin lines.
void StrokeHaloed(QPainter& painter, const QPainterPath& path, Qt::PenStyle style, double width)
{
    const double thin = LineWidth(painter);
    painter.strokePath(path, QPen(QColor(0, 0, 0, 170), 3 * width * thin, Qt::SolidLine, Qt::RoundCap));
    painter.strokePath(path, QPen(Qt::white, width * thin, style, Qt::FlatCap));
}

// A contour line, labelled at its highest point.
void PaintContour(QPainter& painter, const Frame& frame, const std::vector<qxr::ContourSegment>& segments,
                  Qt::PenStyle style, const QString& label)
{
    if (segments.empty())
        return;
    QPainterPath path;
    QPointF top = frame.At(segments.front().from.column, segments.front().from.row);
    for (const qxr::ContourSegment& segment : segments) {
        const QPointF from = frame.At(segment.from.column, segment.from.row);
        const QPointF to = frame.At(segment.to.column, segment.to.row);
        path.moveTo(from);
        path.lineTo(to);
        for (const QPointF& end : {from, to})
            top = end.y() < top.y() ? end : top;
    }
    StrokeHaloed(painter, path, style, 1.0);
    const QFontMetricsF metrics = Metrics(painter);
    const double width = metrics.horizontalAdvance(label), gap = metrics.height() / 5;
    // Beside the line's highest point, on whichever side keeps it inside the map.
    const double x = top.x() + gap + width <= frame.plot.right() ? top.x() + gap : top.x() - gap - width;
    QPainterPath text;
    text.addText(QPointF(x, top.y() + metrics.ascent()), painter.font(), label);
    painter.strokePath(text, QPen(QColor(0, 0, 0, 200), 3 * LineWidth(painter)));
    painter.fillPath(text, Qt::white);
}

Qt::PenStyle StyleOf(qxr::MapContourFigure figure)
{
    switch (figure) {
    case qxr::MapContourFigure::Ms:
        return Qt::SolidLine;
    case qxr::MapContourFigure::ThirdHarmonic:
        return Qt::DashLine;
    case qxr::MapContourFigure::LoadStepMinimum:
        return Qt::DotLine;
    }
    return Qt::SolidLine;
}

QString LabelOf(const qxr::MapContourLine& line)
{
    switch (line.figure) {
    case qxr::MapContourFigure::Ms:
        return Tr("Ms %1").arg(Text(qxr::FormatFixed(line.level, 1)));
    case qxr::MapContourFigure::ThirdHarmonic:
        return Tr("H3 limit");
    case qxr::MapContourFigure::LoadStepMinimum:
        return Tr("Step limit");
    }
    return {};
}

void PaintContours(QPainter& painter, const Frame& frame, const DesignMapScene& scene)
{
    for (const qxr::MapContourLine& line : qxr::MapContourLines(*scene.map, scene.limits))
        PaintContour(painter, frame, line.segments, StyleOf(line.figure), LabelOf(line));
}

enum class Marker { Design, Proposal };

QPainterPath MarkerPath(Marker marker, QPointF centre, double radius)
{
    QPainterPath path;
    if (marker == Marker::Design) {
        path.addEllipse(centre, radius, radius);
        return path;
    }
    path.moveTo(centre + QPointF(0, -1.3 * radius));
    path.lineTo(centre + QPointF(1.3 * radius, 0));
    path.lineTo(centre + QPointF(0, 1.3 * radius));
    path.lineTo(centre + QPointF(-1.3 * radius, 0));
    path.closeSubpath();
    return path;
}

double MarkerRadius(QPainter& painter)
{
    return Metrics(painter).height() * 0.4;
}

void PaintMarker(QPainter& painter, Marker marker, QPointF centre)
{
    StrokeHaloed(painter, MarkerPath(marker, centre, MarkerRadius(painter)), Qt::SolidLine, 1.4);
}

// A point of the map's ranges, or none when it lies outside them.
void PaintPointMarker(QPainter& painter, const Frame& frame, const qxr::DesignMap& map, Marker marker, double crossover,
                      double pm)
{
    const double column = FractionalIndex(map.crossovers, crossover, true);
    const double row = FractionalIndex(map.phaseMargins, pm, false);
    const auto inside = [](double index, std::size_t count) {
        return index >= -0.5 && index <= static_cast<double>(count) - 0.5;
    };
    if (inside(column, frame.columns) && inside(row, frame.rows))
        PaintMarker(painter, marker, frame.At(column, row));
}

QString FrequencyLabel(double hertz)
{
    return hertz >= 1000 ? Text(qxr::FormatSignificant(hertz / 1000, 3)) + QStringLiteral("k")
                         : Text(qxr::FormatSignificant(hertz, 3));
}

void PaintAxes(QPainter& painter, const Frame& frame, const qxr::DesignMap& map, const MapInk& ink)
{
    const QFontMetricsF metrics = Metrics(painter);
    const QRectF& plot = frame.plot;
    const double tick = metrics.height() / 3;
    painter.setPen(QPen(ink.frame, LineWidth(painter)));
    painter.drawRect(plot);
    painter.setPen(QPen(ink.text, LineWidth(painter)));
    const double low = map.crossovers.front(), high = map.crossovers.back();
    for (double decade = std::pow(10.0, std::floor(std::log10(low))); decade <= high; decade *= 10) {
        for (double mantissa : {1.0, 2.0, 5.0}) {
            const double f = decade * mantissa;
            const double column = FractionalIndex(map.crossovers, f, true);
            if (column < -0.5 || column > static_cast<double>(frame.columns) - 0.5)
                continue;
            const double x = frame.At(column, 0).x();
            painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + tick));
            const QString label = FrequencyLabel(f);
            painter.drawText(QPointF(x - metrics.horizontalAdvance(label) / 2, plot.bottom() + tick + metrics.ascent()),
                             label);
        }
    }
    const QString xTitle = Tr("Required crossover (Hz)");
    painter.drawText(QPointF(plot.center().x() - metrics.horizontalAdvance(xTitle) / 2,
                             plot.bottom() + tick + metrics.height() + metrics.ascent()),
                     xTitle);
    const double pmLow = map.phaseMargins.front(), pmHigh = map.phaseMargins.back();
    for (double pm = std::ceil(pmLow / 10) * 10; pm <= pmHigh + 1e-9; pm += 10) {
        const double y = frame.At(0, FractionalIndex(map.phaseMargins, pm, false)).y();
        painter.drawLine(QPointF(plot.left() - tick, y), QPointF(plot.left(), y));
        const QString label = Text(qxr::FormatFixed(pm, 0)) + QStringLiteral("°");
        painter.drawText(
            QPointF(plot.left() - tick - 2 - metrics.horizontalAdvance(label), y + metrics.ascent() / 2 - 1), label);
    }
    painter.save();
    painter.translate(plot.left() - tick - metrics.horizontalAdvance(QStringLiteral("880°")) - metrics.descent() - 2,
                      plot.center().y());
    painter.rotate(-90);
    const QString yTitle = Tr("Required phase margin (°)");
    painter.drawText(QPointF(-metrics.horizontalAdvance(yTitle) / 2, 0), yTitle);
    painter.restore();
}

// The colour bar in degrees and the key to the lines, marks and hatching.
void PaintLegend(QPainter& painter, const QRectF& plot, const DesignMapScene& scene, const MapInk& ink)
{
    const QFontMetricsF metrics = Metrics(painter);
    const double line = metrics.height();
    const double left = plot.right() + line;
    painter.setPen(ink.text);
    painter.drawText(QPointF(left, plot.top() + metrics.ascent()), Tr("Worst-case PM"));
    const QRectF bar(left, plot.top() + 1.5 * line, line, std::max(4 * line, plot.height() * 0.45));
    for (int y = 0; y < static_cast<int>(bar.height()); ++y) {
        const double t = 1 - (y + 0.5) / bar.height();
        painter.fillRect(QRectF(bar.left(), bar.top() + y, bar.width(), 1.5), ToQColor(qxr::Viridis(t)));
    }
    painter.setPen(QPen(ink.frame, LineWidth(painter)));
    painter.drawRect(bar);
    painter.setPen(QPen(ink.text, LineWidth(painter)));
    for (double pm = qxr::kMapPmLow; pm <= qxr::kMapPmHigh; pm += 15) {
        const double y = bar.bottom() - qxr::MapScalePosition(pm) * bar.height();
        painter.drawLine(QPointF(bar.right(), y), QPointF(bar.right() + line / 3, y));
        painter.drawText(QPointF(bar.right() + line / 2, y + metrics.ascent() / 2 - 1),
                         Text(qxr::FormatFixed(pm, 0)) + QStringLiteral("°"));
    }
    double y = bar.bottom() + line;
    const auto item = [&](const QString& text, const std::function<void(QRectF)>& sample) {
        const QRectF swatch(left, y, 1.6 * line, line);
        sample(swatch);
        painter.setPen(ink.text);
        painter.drawText(QPointF(swatch.right() + line / 2, y + metrics.ascent()), text);
        y += 1.3 * line;
    };
    const auto marker = [&](Marker which) {
        return [&painter, which](QRectF swatch) { PaintMarker(painter, which, swatch.center()); };
    };
    const auto stroke = [&painter](Qt::PenStyle style) {
        return [&painter, style](QRectF swatch) {
            QPainterPath path;
            path.moveTo(swatch.left(), swatch.center().y());
            path.lineTo(swatch.right(), swatch.center().y());
            StrokeHaloed(painter, path, style, 1.0);
        };
    };
    item(Tr("This design"), marker(Marker::Design));
    if (scene.proposal.found)
        item(Tr("Proposal"), marker(Marker::Proposal));
    item(Tr("Ms 1.4, 1.7, 2.0"), stroke(StyleOf(qxr::MapContourFigure::Ms)));
    if (scene.map->timeDomain) {
        item(Tr("H3 limit"), stroke(StyleOf(qxr::MapContourFigure::ThirdHarmonic)));
        item(Tr("Step limit"), stroke(StyleOf(qxr::MapContourFigure::LoadStepMinimum)));
    }
    item(Tr("Not realisable"), [&](QRectF swatch) {
        painter.fillRect(swatch, QBrush(ink.text, Qt::BDiagPattern));
        painter.setPen(QPen(ink.frame, LineWidth(painter)));
        painter.drawRect(swatch);
    });
    item(Tr("No crossover"), [&](QRectF swatch) { painter.fillRect(swatch, Qt::gray); });
}

bool HasGrid(const qxr::DesignMap* map)
{
    return map != nullptr && map->crossovers.size() >= 2 && map->phaseMargins.size() >= 2 &&
           map->cells.size() == map->crossovers.size() * map->phaseMargins.size();
}

}  // namespace

QRectF MapPlotRect(QPainter& painter, const QRectF& area)
{
    const QFontMetricsF metrics = Metrics(painter);
    const double left = metrics.horizontalAdvance(QStringLiteral("880°")) + 2.5 * metrics.height();
    const double bottom = 2.6 * metrics.height();
    const double right = LegendWidth(metrics) + 2 * metrics.height();
    return area.adjusted(left, metrics.height() / 2, -right, -bottom);
}

bool MapCellAt(const QRectF& plot, const qxr::DesignMap& map, QPointF point, std::size_t& row, std::size_t& column)
{
    if (!HasGrid(&map) || !plot.contains(point))
        return false;
    const double columns = static_cast<double>(map.crossovers.size()),
                 rows = static_cast<double>(map.phaseMargins.size());
    column = std::min(static_cast<std::size_t>((point.x() - plot.left()) / plot.width() * columns),
                      map.crossovers.size() - 1);
    row = std::min(static_cast<std::size_t>((plot.bottom() - point.y()) / plot.height() * rows),
                   map.phaseMargins.size() - 1);
    return true;
}

QPointF MapCellCentre(const QRectF& plot, const qxr::DesignMap& map, std::size_t row, std::size_t column)
{
    return Frame{plot, map.phaseMargins.size(), map.crossovers.size()}.At(static_cast<double>(column),
                                                                          static_cast<double>(row));
}

void PaintDesignMap(QPainter& painter, const QRectF& area, const DesignMapScene& scene, const MapInk& ink)
{
    if (!HasGrid(scene.map))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const Frame frame{MapPlotRect(painter, area), scene.map->phaseMargins.size(), scene.map->crossovers.size()};
    painter.fillRect(frame.plot, ink.background);
    PaintCells(painter, frame, *scene.map, ink);
    painter.save();
    painter.setClipRect(frame.plot);
    PaintContours(painter, frame, scene);
    PaintPointMarker(painter, frame, *scene.map, Marker::Design, scene.designCrossover, scene.designPm);
    if (scene.proposal.found)
        PaintPointMarker(painter, frame, *scene.map, Marker::Proposal, scene.proposal.crossover,
                         scene.proposal.phaseMargin);
    painter.restore();
    PaintAxes(painter, frame, *scene.map, ink);
    PaintLegend(painter, frame.plot, scene, ink);
    painter.restore();
}
