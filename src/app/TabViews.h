#pragma once

#include <array>

#include "doc/DocView.h"
#include "model/Enumerations.h"
#include "pages/ComparePage.h"
#include "pages/DesignPages.h"
#include "pages/FreqResponsePages.h"
#include "pages/PartsPage.h"
#include "pages/RobustnessPages.h"
#include "widgets/TabContainer.h"

class CQXRDoc;

// The design-entry view, left of the main window: the design pages, of which
// those of the other controller kind have their tabs hidden.
class CQXRViewUser : public CMfcCtrlTabFormView, public CDocView {
    Q_OBJECT

public:
    explicit CQXRViewUser(CQXRDoc& document, QWidget* parent = nullptr);
    ~CQXRViewUser() override;

    // Creates the pages, once, and fits the splitter to them.
    void OnInitialUpdate();
    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;

    // The pages in the order of kDesignPages, whether their tabs are shown or not.
    std::array<CDialogTab*, 13> Pages();

private:
    void ApplyModeVisibility();

    CQXRDoc& document_;
    bool pagesCreated_ = false;
    CTabDesignParameters designParameters_;
    CTabBlank powerStage_;
    CTabBlank currentSense_;
    CTabBlank multiplierAnalog_;
    CTabMultiplierDigital multiplierDigital_;
    CTabBlank voltageLoopAnalog_;
    CTabVoltLoopDigital voltageLoopDigital_;
    CTabBlank currentLoopAnalog_;
    CTabCurrentLoopDigital currentLoopDigital_;
    CTabBlank startUp_;
    CTabBlank componentSelection_;
    CTabRobustness robustness_;
    CTabParts parts_;
};

// The review view, top right: the Bode plots of both loops, the histograms
// of the stability sweep and, while the design uses the analog controller,
// its schematic.
class CQXRViewReview : public CMfcCtrlTabFormView, public CDocView {
    Q_OBJECT

public:
    explicit CQXRViewReview(CQXRDoc& document, QWidget* parent = nullptr);
    ~CQXRViewReview() override;

    // Creates the pages, once, and gives the log pane its room below.
    void OnInitialUpdate();
    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;

    std::array<CDialogTab*, 4> Pages();
    ComparePage& Compare() { return compare_; }

private:
    void ApplyModeVisibility();
    // The Compare tab shows while a design is compared.
    void ShowComparison();

    CQXRDoc& document_;
    bool pagesCreated_ = false;
    CTabFreqResponseVoltage voltageResponse_;
    CTabFreqResponseCurrent currentResponse_;
    CTabSweepHistograms sweepHistograms_;
    CTabSchematic schematic_;
    ComparePage compare_;
    CTop lastMode_;
};
