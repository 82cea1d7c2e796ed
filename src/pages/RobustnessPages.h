#pragma once

#include <array>

#include "pages/DialogTab.h"

class HistogramChart;
namespace qxr {
struct RobustnessReport;
}

// The settings of the stability sweep and its results: the yield, the
// worst-case phase margin, Ms and delay margin of each loop, and the corner
// that gives the worst phase margin.
class CTabRobustness : public CDialogTab {
    Q_OBJECT

public:
    explicit CTabRobustness(CQXRDoc& document, QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void UpdatePage(int hint, QWidget* hintControl) override;

private:
    void ShowResults();
    void ShowRobustFigures(const qxr::RobustnessReport* report);
};

// Histograms of the crossover and the phase margin of both loops over the
// Monte Carlo samples, the minimum phase margin of a good sample marked.
class CTabSweepHistograms : public CDialogTab {
    Q_OBJECT

public:
    explicit CTabSweepHistograms(CQXRDoc& document, QWidget* parent = nullptr);

    void UpdatePage(int hint, QWidget* hintControl) override;
    // Voltage crossover, voltage phase margin, current crossover, current phase margin.
    const std::array<HistogramChart*, 4>& Charts() const { return charts_; }

protected:
    QWidget* CreateTemplateControl(const qxr::TemplateControl& control) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowHistograms();

    std::array<HistogramChart*, 4> charts_{};
};
