#pragma once

#include <vector>

#include <QString>

#include "pages/DialogTab.h"

class CGraphScatter;
class CDesignModel;
class QCheckBox;
class QGroupBox;
class QLineEdit;

// A Bode plot page: magnitude over phase of the plant, the compensator and
// the loop of one control loop, the crossover marker, a cursor with the
// values under the mouse, and the loop's stability figures.
class CTabFreqResponse : public CDialogTab {
    Q_OBJECT

public:
    static constexpr int kPoints = 500;
    enum LineId { kPlant = 0, kComp = 1, kLoop = 2, kCrossover = 5, kZeroDb = 6, kCursor = 7 };

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

    // The figures of one loop the page reads from the model.
    struct Loop {
        double start;
        double stop;
        double requiredCrossover;
        double fx, phaseMargin, gainMargin, slope;
    };
    // What distinguishes the pages of the two loops.
    struct LoopModel {
        Loop (*read)(CDesignModel& model);
        double (CDesignModel::*plantGain)(double w);
        double (CDesignModel::*compGain)(double w);
        double (CDesignModel::*compPhase)(double w);
        double (CDesignModel::*loopGain)(double w);
        double (CDesignModel::*loopPhase)(double w);
        // Fixed ranges set once, or ranges fitted to the curves at every redraw.
        bool fitsRangesToCurves;
        double magnitudeMin;
        double magnitudeMax;
    };

protected:
    CTabFreqResponse(const LoopModel& loop, const QString& title, CQXRDoc& document, QWidget* parent);

    QWidget* CreateTemplateControl(const TemplateControl& control) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetupGraphs();
    void RedrawBode();
    void ComputeCurves(CDesignModel& model);
    void FitRanges(const Loop& loop);
    void DrawCrossoverMarker(const Loop& loop);
    void ShowStability(const Loop& loop);
    void OnGraphHover(CGraphScatter& graph);
    void OnGraphLeave();
    void RepaintGraphs();
    void SetField(int id, const QString& text);

    const LoopModel& loop_;
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
