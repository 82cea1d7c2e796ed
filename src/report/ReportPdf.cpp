#include "report/ReportPdf.h"

#include <algorithm>
#include <array>

#include <QBuffer>
#include <QPdfWriter>

#include "report/DesignReport.h"

namespace {

// The resolution of a high-resolution QPrinter printing to PDF: the fonts'
// metrics round alike, so the export breaks its pages where a print does.
constexpr int kPdfDotsPerInch = 1200;
constexpr double kMarginMillimetres = 15;

// The countries whose offices print on Letter paper.
constexpr std::array kLetterTerritories{
    QLocale::UnitedStates, QLocale::Canada,     QLocale::Mexico,      QLocale::Chile,     QLocale::Colombia,
    QLocale::Venezuela,    QLocale::PuertoRico, QLocale::Philippines, QLocale::Guatemala, QLocale::CostaRica,
};

}  // namespace

QPageLayout ReportPageLayout(const QLocale& locale)
{
    const bool letter =
        std::find(kLetterTerritories.begin(), kLetterTerritories.end(), locale.territory()) != kLetterTerritories.end();
    const QPageSize size(letter ? QPageSize::Letter : QPageSize::A4);
    const QMarginsF margins(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres);
    return QPageLayout(size, QPageLayout::Portrait, margins, QPageLayout::Millimeter);
}

QByteArray ReportPdf(DesignReport& report, const QPageLayout& layout)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfDotsPerInch);
        writer.setPageLayout(layout);
        writer.setTitle(report.Title());
        writer.setCreator(QStringLiteral("QXR"));
        if (!report.Paint(writer))
            return {};
    }
    return bytes;
}

QByteArray DesignReportPdf(CDesignModel& model, const QString& title)
{
    DesignReport report(model, title);
    return ReportPdf(report);
}
