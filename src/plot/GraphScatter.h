#pragma once

#include <memory>
#include <vector>

#include <QPixmap>
#include <QRect>
#include <QWidget>

#include "plot/GraphAxis.h"
#include "plot/GraphColor.h"
#include "plot/GraphLegend.h"
#include "plot/GraphText.h"
#include "plot/HoverThrottle.h"
#include "plot/ScatterGraphLine.h"

// A graph of numbered lines of (x, y) points against a linear or base-10
// logarithmic X and Y axis, with a grid, tick labels and three titles.
// The owner sets the public members, adds lines and points, then calls
// Redraw. While the mouse moves over the graph it reports the position at a
// throttled rate, so that the owner can show a cursor and the values under it.
class CGraphScatter : public QWidget {
    Q_OBJECT

public:
    using LineList = std::vector<std::unique_ptr<CScatterGraphLine>>;

    explicit CGraphScatter(QWidget* parent = nullptr, CHoverClock& clock = SystemHoverClock());
    ~CGraphScatter() override;

    // Appends a visible line without points; false when it cannot be allocated.
    bool AddLine(int id, GraphColor color, int style);
    // The most recently added line with that id, or nullptr.
    CScatterGraphLine* FindLine(int id);
    // Removes the line FindLine would return, if any, and recomputes the ranges.
    void RemoveLine(int id);
    // Removes the points of the line FindLine returns; the ranges stay.
    void ClearLine(int id);
    // False, changing nothing, for an unknown line or a NaN coordinate.
    bool AddPoint(double x, double y, int lineId);
    // Recomputes the automatic ranges from every point of every line.
    void RecalcRanges();
    // Rebuilds the picture from the current data and members and repaints at
    // once. The picture is otherwise rebuilt only when the size changes.
    void Redraw();
    // Paints the graph at the given size with any painter (a printer, a PDF,
    // an SVG or an image), so that an export is drawn like the screen.
    void Paint(QPainter& painter, QSize size);

    LineList lines;  // drawn in order, later over earlier
    CGraphAxis xAxis;
    CGraphAxis yAxis;
    CGraphText xTitle{QStringLiteral("Arial"), 20, 0};      // under the X labels
    CGraphText yTitle{QStringLiteral("Arial"), 20, -900};   // left of the Y labels
    CGraphText mainTitle{QStringLiteral("Arial"), 40, 0};   // above the plot
    CGraphText xLabels{QStringLiteral("Arial"), 12, -900};  // X tick labels
    CGraphText yLabels{QStringLiteral("Arial"), 12, 0};     // Y tick labels
    std::vector<CGraphLegendEntry> legend;                  // the key, in the plot's bottom left corner
    GraphColor textColor = 0x0000FFFF;
    GraphColor backColor = 0x00000000;
    GraphColor plotColor = 0x00000000;
    GraphColor gridColor = 0x00009600;  // frame and minor grid; major grid lines are darker
    QRect clientRect;                   // from the last picture
    QRect plotRect;                     // from the last picture; its edges are the frame
    QPoint hoverPoint;                  // the last reported mouse position

signals:
    // The mouse moved to hoverPoint (throttled).
    void HoverMoved(QPoint hoverPoint);
    void HoverLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    LineList::reverse_iterator LastLineWithId(int id);
    void ReportHover(QPoint position);
    void RenderPicture();
    void PaintPicture(QPainter& painter, QSize size);
    void MeasureTexts();
    void DrawTitles(QPainter& painter) const;
    void DrawPlotArea(QPainter& painter) const;
    void DrawGrid(QPainter& painter, const CGraphAxis& axis, Qt::Orientation orientation) const;
    void DrawLines(QPainter& painter) const;

    CHoverThrottle hoverThrottle_;
    QPixmap picture_;
    bool pictureStale_ = true;
};
