#pragma once

#include <cstdint>
#include <vector>

#include <QString>
#include <QWidget>

// A bar chart of counts in equal bins over [low, high], with a titled value
// axis and an optional marked value drawn as a dashed line. The value axis
// always reaches the marker, so a threshold outside the data stays visible.
class HistogramChart : public QWidget {
    Q_OBJECT

public:
    explicit HistogramChart(QWidget* parent = nullptr);

    void SetTitle(const QString& title);
    // No counts: the chart says it has no data.
    void SetData(double low, double high, std::vector<uint32_t> counts);
    // NaN: no marker.
    void SetMarker(double value, const QString& label);

    // The value span the axis shows, the marker included.
    double AxisLow() const;
    double AxisHigh() const;
    uint32_t LargestCount() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect PlotRect() const;
    int PixelOf(double value, const QRect& plot) const;
    void DrawBars(QPainter& painter, const QRect& plot) const;
    void DrawAxes(QPainter& painter, const QRect& plot) const;
    void DrawMarker(QPainter& painter, const QRect& plot) const;

    QString title_;
    double low_ = 0, high_ = 0;
    std::vector<uint32_t> counts_;
    double marker_;
    QString markerLabel_;
};
