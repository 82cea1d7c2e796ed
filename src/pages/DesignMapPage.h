#pragma once

#include <cstddef>
#include <memory>

#include "model/LoopData.h"
#include "pages/DialogTab.h"

class DesignMapView;
class QLabel;
class QPushButton;
struct DesignMaps;

// One loop's design map: the worst-case phase margin over every required
// crossover and phase margin as it fills in, the proposal and what it
// misses. Hovering a point reads out its figures; a click on a point that
// can be realised, or "Use Proposal", enters its crossover and margin as one
// undo step.
class CTabDesignMap : public CDialogTab {
    Q_OBJECT

public:
    CTabDesignMap(qxr::ControlLoop loop, CQXRDoc& document, QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void UpdatePage(int hint, QWidget* hintControl) override;

    qxr::ControlLoop Loop() const { return loop_; }
    DesignMapView* MapView() const { return view_; }
    QLabel* Status() const;
    QLabel* Readout() const;
    QLabel* Separation() const;
    QPushButton* UseProposal() const;

protected:
    QWidget* CreateTemplateControl(const qxr::TemplateControl& control) override;

private:
    void ShowMap();
    void ShowStatus();
    void ShowSeparation();
    void ShowCell(std::size_t row, std::size_t column);
    void EnterCell(std::size_t row, std::size_t column);
    void EnterPoint(const QString& stepName, double crossover, double phaseMargin);

    qxr::ControlLoop loop_;
    DesignMapView* view_ = nullptr;
};
