#pragma once

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>

class QPagedPaintDevice;

// Paints a document on a printer or PDF writer from top to bottom: every
// block goes on the current page when it fits and on a new page when it does
// not, and every page gets the running header and its number. Lengths are
// in points; the canvas converts them to the device's units.
class ReportCanvas {
public:
    // pageNumber: the text under every page, "%1" standing for its number.
    ReportCanvas(QPagedPaintDevice& device, const QString& headerLeft, const QString& headerRight,
                 const QString& pageNumber);

    // False when the device cannot be painted on (e.g. a file that cannot be opened).
    bool IsActive() const { return painter_.isActive(); }
    void Finish();

    QPainter& Painter() { return painter_; }
    // Device units for a length in points.
    double Pt(double points) const;
    double Width() const { return width_; }
    // The room below the header of an empty page, in device units.
    double BodyHeight() const;

    // The rectangle of a block of the given height (device units) across the
    // page's width, below what was painted before; starts a new page first
    // when the block does not fit on this one.
    QRectF Take(double height);
    // Starts a new page unless the given height (device units) still fits on this one.
    void KeepRoom(double height);
    // The height left on this page, in device units.
    double Remaining() const;
    void Skip(double points);
    void NewPage();

    // One line of text in the font, across the page's width.
    void Line(const QString& text, const QFont& font);
    // A text block with its lines wrapped at the page's width.
    void Paragraph(const QString& text, const QFont& font);
    // The height of a line of the font, in device units.
    double LineHeight(const QFont& font) const;

private:
    void PaintPageFrame();

    QPagedPaintDevice& device_;
    QPainter painter_;
    QString headerLeft_;
    QString headerRight_;
    QString pageNumber_;
    double width_;
    double height_;
    double y_ = 0;
    int page_ = 1;
};

// The fonts of the report, in points.
QFont ReportFont(double points, bool bold = false);
