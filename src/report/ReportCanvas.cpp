#include "report/ReportCanvas.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QPagedPaintDevice>

namespace {

constexpr double kHeaderPoints = 8;
constexpr double kHeaderGapPoints = 14;  // below the header's rule
constexpr double kFooterPoints = 20;

}  // namespace

QFont ReportFont(double points, bool bold)
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setPointSizeF(points);
    font.setBold(bold);
    // A spacing other than 0 turns the font's ligatures off, so that the text
    // taken from a PDF reads "ff" and "fi" as the pages show them.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
    return font;
}

ReportCanvas::ReportCanvas(QPagedPaintDevice& device, const QString& headerLeft, const QString& headerRight,
                           const QString& pageNumber)
    : device_(device),
      painter_(&device),
      headerLeft_(headerLeft),
      headerRight_(headerRight),
      pageNumber_(pageNumber),
      width_(device.width()),
      height_(device.height())
{
    if (IsActive())
        PaintPageFrame();
}

void ReportCanvas::Finish()
{
    painter_.end();
}

double ReportCanvas::Pt(double points) const
{
    return points * device_.logicalDpiY() / 72.0;
}

double ReportCanvas::BodyHeight() const
{
    return height_ - Pt(kFooterPoints) - (LineHeight(ReportFont(kHeaderPoints)) + Pt(kHeaderGapPoints));
}

double ReportCanvas::LineHeight(const QFont& font) const
{
    return QFontMetricsF(font, &device_).lineSpacing();
}

double ReportCanvas::Remaining() const
{
    return height_ - Pt(kFooterPoints) - y_;
}

void ReportCanvas::KeepRoom(double height)
{
    if (height > Remaining())
        NewPage();
}

QRectF ReportCanvas::Take(double height)
{
    KeepRoom(height);
    const QRectF block(0, y_, width_, height);
    y_ += height;
    return block;
}

void ReportCanvas::Skip(double points)
{
    y_ += Pt(points);
}

void ReportCanvas::NewPage()
{
    device_.newPage();
    ++page_;
    PaintPageFrame();
}

void ReportCanvas::Line(const QString& text, const QFont& font)
{
    const QRectF block = Take(LineHeight(font));
    painter_.setFont(font);
    painter_.drawText(block, Qt::AlignLeft | Qt::AlignVCenter, text);
}

void ReportCanvas::Paragraph(const QString& text, const QFont& font)
{
    const QFontMetricsF metrics(font, &device_);
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QRectF needed = metrics.boundingRect(QRectF(0, 0, width_, height_), Qt::TextWordWrap, line);
        const QRectF block = Take(std::max(needed.height(), metrics.lineSpacing()));
        painter_.setFont(font);
        painter_.drawText(block, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, line);
    }
}

// The header names the design and the program above a rule; the page number
// stands centred at the bottom.
void ReportCanvas::PaintPageFrame()
{
    const QFont font = ReportFont(kHeaderPoints);
    const double lineHeight = LineHeight(font);
    painter_.save();
    painter_.setFont(font);
    painter_.setPen(Qt::darkGray);
    const QRectF header(0, 0, width_, lineHeight);
    painter_.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, headerLeft_);
    painter_.drawText(header, Qt::AlignRight | Qt::AlignVCenter, headerRight_);
    painter_.drawLine(QPointF(0, lineHeight + Pt(2)), QPointF(width_, lineHeight + Pt(2)));
    painter_.drawText(QRectF(0, height_ - lineHeight, width_, lineHeight), Qt::AlignCenter, pageNumber_.arg(page_));
    painter_.restore();
    y_ = lineHeight + Pt(kHeaderGapPoints);
}
