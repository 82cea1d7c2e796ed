#pragma once

#include <QByteArray>
#include <QLocale>
#include <QPageLayout>

class CDesignModel;
class DesignReport;

// The page the report is laid out on: Letter where the locale's country
// uses it, A4 elsewhere, with 15 mm margins. Printer and PDF share it, so
// both get the same pages.
QPageLayout ReportPageLayout(const QLocale& locale = QLocale());

// The report as a PDF document; empty when it could not be painted.
QByteArray ReportPdf(DesignReport& report, const QPageLayout& layout = ReportPageLayout());

// The report of the design under the given title, as a PDF document.
QByteArray DesignReportPdf(CDesignModel& model, const QString& title);
