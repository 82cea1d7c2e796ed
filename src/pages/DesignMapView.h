#pragma once

#include <cstddef>
#include <memory>

#include <QWidget>

#include "figures/DesignMapPicture.h"

struct DesignMaps;

// A loop's design map as a widget: the picture of figures/DesignMapPicture.h
// in the palette's colours; it tells which cell the mouse is over and which
// one was clicked.
class DesignMapView : public QWidget {
    Q_OBJECT

public:
    explicit DesignMapView(QWidget* parent = nullptr);

    // maps holds scene.map and stays alive while it is shown.
    void Show(std::shared_ptr<const DesignMaps> maps, const DesignMapScene& scene);
    const DesignMapScene& Scene() const { return scene_; }
    // Where a cell is drawn now, in the widget's coordinates.
    QPointF CellCentre(std::size_t row, std::size_t column) const;

signals:
    void CellHovered(std::size_t row, std::size_t column);
    void CellClicked(std::size_t row, std::size_t column);
    void LeftCells();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QRectF PlotRect() const;
    bool CellAt(QPointF point, std::size_t& row, std::size_t& column) const;

    std::shared_ptr<const DesignMaps> maps_;
    DesignMapScene scene_;
};
