#include "pages/DesignMapView.h"

#include <QMouseEvent>
#include <QPainter>

DesignMapView::DesignMapView(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

void DesignMapView::Show(std::shared_ptr<const DesignMaps> maps, const DesignMapScene& scene)
{
    maps_ = std::move(maps);
    scene_ = scene;
    update();
}

QRectF DesignMapView::PlotRect() const
{
    QPixmap probe(1, 1);  // the plot's room depends on the font's metrics only
    QPainter painter(&probe);
    painter.setFont(font());
    return MapPlotRect(painter, rect());
}

QPointF DesignMapView::CellCentre(std::size_t row, std::size_t column) const
{
    return MapCellCentre(PlotRect(), *scene_.map, row, column);
}

bool DesignMapView::CellAt(QPointF point, std::size_t& row, std::size_t& column) const
{
    return scene_.map != nullptr && MapCellAt(PlotRect(), *scene_.map, point, row, column);
}

void DesignMapView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    const QPalette& colours = palette();
    PaintDesignMap(painter, rect(), scene_,
                   {colours.color(QPalette::WindowText), colours.color(QPalette::Mid), colours.color(QPalette::Base)});
}

void DesignMapView::mouseMoveEvent(QMouseEvent* event)
{
    std::size_t row = 0, column = 0;
    if (CellAt(event->position(), row, column))
        emit CellHovered(row, column);
    else
        emit LeftCells();
}

void DesignMapView::mousePressEvent(QMouseEvent* event)
{
    std::size_t row = 0, column = 0;
    if (event->button() == Qt::LeftButton && CellAt(event->position(), row, column))
        emit CellClicked(row, column);
}

void DesignMapView::leaveEvent(QEvent*)
{
    emit LeftCells();
}
