#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QString>

#include "analysis/ControlLoops.h"
#include "figures/BodeGraphs.h"
#include "pages/BodeOverlays.h"
#include "pages/DialogTab.h"

class CGraphScatter;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QMenu;
struct MeasuredOverlay;

// A Bode plot page: magnitude over phase of the plant, the compensator and
// the loop of one control loop, the crossover marker, a cursor with the
// values under the mouse, and the loop's stability figures.
class CTabFreqResponse : public CDialogTab {
    Q_OBJECT

public:
    ~CTabFreqResponse() override;

    bool OnInitDialog() override;
    void UpdatePage(int hint, QWidget* hintControl) override;

    CGraphScatter* MagnitudeGraph() const { return magnitude_; }
    CGraphScatter* PhaseGraph() const { return phase_; }
    QCheckBox* Box(int id) const;
    QLineEdit* Field(int id) const;
    QGroupBox* BodeGroup() const;
    const std::vector<double>& Grid() const { return bode_->Grid(); }
    const qxr::BodeCurves& Curves() const { return bode_->Curves(); }
    qxr::ControlLoop Loop() const { return loop_; }

    // The graph's context menu: "Copy Image", "Save Image As..." and
    // "Export Data as CSV..."; the caller owns it.
    QMenu* CreateGraphMenu(CGraphScatter& graph);
    // The graph as the screen shows it: SVG for a name ending in ".svg", PNG
    // otherwise. False when the file could not be written.
    bool SaveGraphImage(CGraphScatter& graph, const QString& path);
    // The loop's Bode data, the CSV of "qxr-cli bode".
    bool ExportBodeCsv(const QString& path);

protected:
    CTabFreqResponse(qxr::ControlLoop loop, CQXRDoc& document, QWidget* parent);

    QWidget* CreateTemplateControl(const qxr::TemplateControl& control) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PrepareFigureFields();
    void RedrawBode();
    void ShowStability();
    void ShowSweep();
    void OnGraphHover(CGraphScatter& graph);
    void OnGraphLeave();
    void RepaintGraphs();
    QString GraphName(const CGraphScatter& graph) const;
    QString SuggestedExportPath(const CGraphScatter* graph, const QString& suffix) const;
    void SetField(int id, const QString& text);
    void SetField(int id, const std::string& text);
    // The digital design's loop with its quantised 2p2z compensator.
    void SetupDiscreteLoop();
    void DrawDiscreteLoop();
    void ShowDiscreteStability(bool shown);
    // pages/FreqResponseStandardLoop.cpp: the loop with standard values, dashed.
    void SetupStandardLoop();
    void DrawStandardLoop();
    // The measured loop and the compared design over the design's curves.
    void DrawOverlays(qxr::ShownCurves shown);
    void ShowMeasured(const MeasuredOverlay* measured);
    // The Spice box and read-out: ngspice's run of the loop's AC deck.
    void SetupSpiceBox();
    void ShowSpice();

    const qxr::ControlLoop loop_;
    CGraphScatter* magnitude_ = nullptr;
    CGraphScatter* phase_ = nullptr;
    std::unique_ptr<BodeGraphs> bode_;
    std::unique_ptr<BodeOverlays> overlays_;
    // The measurement drawn last; a newly imported one is shown checked.
    std::shared_ptr<const MeasuredOverlay> shownMeasurement_;
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
