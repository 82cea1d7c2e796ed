#pragma once

#include <array>
#include <memory>

#include "pages/DialogTab.h"

class CGraphScatter;
class QComboBox;
class QLabel;
class QPlainTextEdit;
namespace qxr {
struct TimeDomainReport;
struct Waveforms;
}  // namespace qxr

// The stage in time: a table of the steady states with their harmonics
// against IEC 61000-3-2; for the point chosen in it the line voltage and
// current over two line cycles and the harmonics against their limits; and
// the output voltage and the voltage controller's output through the load
// step, the start-up or the hold-up. Hovering a graph reads its value out.
class CTabTimeDomain : public CDialogTab {
    Q_OBJECT

public:
    enum Graph { kLineVoltage, kLineCurrent, kHarmonics, kOutputVoltage, kControlOutput };
    enum Scenario { kLoadStep, kStartUp, kHoldUp };

    explicit CTabTimeDomain(CQXRDoc& document, QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void UpdatePage(int hint, QWidget* hintControl) override;

    QTableWidget* Table() const { return table_; }
    CGraphScatter* GraphOf(Graph graph) const { return graphs_[graph]; }
    QComboBox* ScenarioBox() const { return scenario_; }
    // Progress, or what keeps a figure from existing and what the stage cannot do.
    QPlainTextEdit* Status() const { return status_; }
    QLabel* Summary() const;
    QLabel* Readout() const;

protected:
    QWidget* CreateTemplateControl(const qxr::TemplateControl& control) override;

private:
    void SetUpGraphs();
    void ShowReport();
    void ShowStatus();
    void ShowPoint(int row);
    void ShowScenario();
    void OnHover(Graph graph);
    void ShowHarmonicAt(int order);

    std::array<CGraphScatter*, 5> graphs_{};
    QTableWidget* table_ = nullptr;
    QComboBox* scenario_ = nullptr;
    QPlainTextEdit* status_ = nullptr;
    std::shared_ptr<const qxr::TimeDomainReport> shown_;  // the report the page draws
};
