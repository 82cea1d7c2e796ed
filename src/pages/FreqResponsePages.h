#pragma once

#include <vector>

#include <QString>

#include "analysis/ControlLoops.h"
#include "pages/DialogTab.h"

class CGraphScatter;
class QCheckBox;
class QGroupBox;
class QLineEdit;

// A Bode plot page: magnitude over phase of the plant, the compensator and
// the loop of one control loop, the crossover marker, a cursor with the
// values under the mouse, and the loop's stability figures.
class CTabFreqResponse : public CDialogTab {
    Q_OBJECT

public:
    enum LineId { kPlant = 0, kComp = 1, kLoop = 2, kBand = 3, kCrossover = 5, kZeroDb = 6, kCursor = 7 };

    ~CTabFreqResponse() override;

    bool OnInitDialog() override;
    void UpdatePage(int hint, QWidget* hintControl) override;

    CGraphScatter* MagnitudeGraph() const { return magnitude_; }
    CGraphScatter* PhaseGraph() const { return phase_; }
    QCheckBox* Box(int id) const;
    QLineEdit* Field(int id) const;
    QGroupBox* BodeGroup() const;
    const std::vector<double>& Grid() const { return grid_; }

    // An axis bound rounded outward to the next multiple of 10 beyond it.
    static double RoundAxisBound(double value);

    // How a page scales its axes: fixed ranges set once, or ranges fitted to
    // the curves at every redraw.
    struct AxisPolicy {
        bool fitsRangesToCurves;
        double magnitudeMin;
        double magnitudeMax;
    };

protected:
    CTabFreqResponse(qxr::ControlLoop loop, const AxisPolicy& axes, const QString& title, CQXRDoc& document,
                     QWidget* parent);

    QWidget* CreateTemplateControl(const TemplateControl& control) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetupGraphs();
    void RedrawBode();
    void ComputeCurves();
    void FitRanges(qxr::FrequencyRange range);
    void DrawCrossoverMarker(qxr::FrequencyRange range);
    void ShowStability();
    void DrawSweepBands();
    void ShowSweep();
    void OnGraphHover(CGraphScatter& graph);
    void OnGraphLeave();
    void RepaintGraphs();
    void SetField(int id, const QString& text);

    const qxr::ControlLoop loop_;
    const AxisPolicy axes_;
    CGraphScatter* magnitude_ = nullptr;
    CGraphScatter* phase_ = nullptr;
    std::vector<double> grid_;
    std::vector<double> plantGain_, plantPhase_, compGain_, compPhase_, loopGain_, loopPhase_;
};

class CTabFreqResponseVoltage : public CTabFreqResponse {
    Q_OBJECT

public:
    explicit CTabFreqResponseVoltage(CQXRDoc& document, QWidget* parent = nullptr);
};

class CTabFreqResponseCurrent : public CTabFreqResponse {
    Q_OBJECT

public:
    explicit CTabFreqResponseCurrent(CQXRDoc& document, QWidget* parent = nullptr);
};
