#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

#include "analysis/Robustness.h"
#include "designmap/DesignMap.h"
#include "figures/BodeGraphs.h"
#include "present/FigureTexts.h"
#include "timedomain/Scenarios.h"

class CDesignModel;
class CGraphScatter;
class QPagedPaintDevice;
class ReportCanvas;

// One row of a design page as the page shows it.
struct ReportRow {
    QString description;
    QString value;
    QString unit;
    bool userEntry = false;
    bool outOfRange = false;
};

// A design page: its tab title, then its headings and its rows in use, in
// template order (a heading has only a description).
struct ReportPage {
    QString title;
    std::vector<ReportRow> rows;
};

// The design report: title, program version and Mode, the rows of every
// page of the Mode, the messages, the stability figures, the stability sweep
// and the Bode plots of both loops, the stage in time, and the schematic
// (analog) or the coefficient sets (digital).
// One report paints the same pages on a printer and into a PDF.
class DesignReport {
public:
    // Reads the design as the pages do (marking what it reads in use); the
    // model must stay alive and unchanged while the report is painted.
    DesignReport(CDesignModel& model, const QString& title);
    ~DesignReport();

    // False when nothing could be painted on the device.
    bool Paint(QPagedPaintDevice& device);

    const QString& Title() const { return title_; }

private:
    struct LoopPlot;

    void GatherPages();
    void PaintHeading(ReportCanvas& canvas) const;
    void PaintPages(ReportCanvas& canvas) const;
    void PaintMessages(ReportCanvas& canvas) const;
    void PaintStability(ReportCanvas& canvas) const;
    void PaintSweep(ReportCanvas& canvas) const;
    void PaintBodePlots(ReportCanvas& canvas) const;
    void PaintTimeDomain(ReportCanvas& canvas) const;
    void PaintTimeDomainGraphs(ReportCanvas& canvas) const;
    void PaintDesignMaps(ReportCanvas& canvas) const;
    void PaintSchematic(ReportCanvas& canvas) const;
    void PaintCoefficients(ReportCanvas& canvas) const;

    CDesignModel& model_;
    QString title_;
    QString mode_;
    bool analog_;
    std::vector<ReportPage> pages_;
    QStringList messages_;
    qxr::RobustnessReport sweep_;
    qxr::TimeDomainReport timeDomain_;
    std::array<qxr::DesignMapInputs, 2> mapInputs_;
    std::array<qxr::DesignMap, 2> maps_;
    std::array<QStringList, 2> separation_;  // what each loop's crossover comes too close to
    double pOut_;
    std::array<std::unique_ptr<LoopPlot>, 2> loops_;
};

// The report's title: the design's description, else the file's title.
QString ReportTitle(const std::u16string& description, const QString& fileTitle);
