#include "app/TabViews.h"

#include "app/QXRViewLog.h"
#include "doc/QXRDoc.h"
#include "model/Enumerations.h"
#include "pages/DesignPageList.h"

CQXRViewUser::CQXRViewUser(CQXRDoc& document, QWidget* parent)
    : CMfcCtrlTabFormView(parent),
      document_(document),
      designParameters_(document),
      powerStage_(321, document),
      currentSense_(322, document),
      multiplierAnalog_(324, document),
      multiplierDigital_(document),
      voltageLoopAnalog_(325, document),
      voltageLoopDigital_(document),
      currentLoopAnalog_(326, document),
      currentLoopDigital_(document),
      startUp_(327, document),
      componentSelection_(329, document),
      robustness_(document),
      parts_(document)
{
    designParameters_.title = tr("Design Parms");
    document_.AddView(this);
}

CQXRViewUser::~CQXRViewUser()
{
    document_.RemoveView(this);
}

std::array<CDialogTab*, 13> CQXRViewUser::Pages()
{
    return {&designParameters_,
            &powerStage_,
            &currentSense_,
            &multiplierAnalog_,
            &multiplierDigital_,
            &voltageLoopAnalog_,
            &voltageLoopDigital_,
            &currentLoopAnalog_,
            &currentLoopDigital_,
            &startUp_,
            &componentSelection_,
            &robustness_,
            &parts_};
}

void CQXRViewUser::OnInitialUpdate()
{
    if (pagesCreated_)
        return;
    const std::array<CDialogTab*, 13> pages = Pages();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pages[i]->OnInitDialog();
        TabControl().AddPage(pages[i], DesignPageTitle(kDesignPages[i]));
    }
    pagesCreated_ = true;
    // The strip is measured with the tabs of the design's Mode alone.
    ApplyModeVisibility();
    FitParentSplitter(0);
}

// The tabs of the other controller kind are hidden; shown tabs are not selected.
void CQXRViewUser::ApplyModeVisibility()
{
    // Start Up, Comp Sel and Parts change before the Mode's pages, so that a
    // hidden current page gives way to the nearest earlier page still shown.
    constexpr std::array<std::size_t, 9> kModePagesInOrder{9, 10, 12, 3, 4, 5, 6, 7, 8};
    const std::array<CDialogTab*, 13> pages = Pages();
    for (std::size_t i : kModePagesInOrder)
        TabControl().ShowPage(pages[i], ShowsForMode(kDesignPages[i], document_.model));
}

void CQXRViewUser::OnUpdate(CDocView*, int hint, QObject* hintObject)
{
    if (!pagesCreated_)
        return;
    ApplyModeVisibility();
    QWidget* hintControl = qobject_cast<QWidget*>(hintObject);
    for (CDialogTab* page : Pages())
        page->UpdatePage(hint, hintControl);
}

CQXRViewReview::CQXRViewReview(CQXRDoc& document, QWidget* parent)
    : CMfcCtrlTabFormView(parent),
      document_(document),
      voltageResponse_(document),
      currentResponse_(document),
      sweepHistograms_(document),
      schematic_(document)
{
    document_.AddView(this);
}

CQXRViewReview::~CQXRViewReview()
{
    document_.RemoveView(this);
}

std::array<CDialogTab*, 4> CQXRViewReview::Pages()
{
    return {&voltageResponse_, &currentResponse_, &sweepHistograms_, &schematic_};
}

void CQXRViewReview::OnInitialUpdate()
{
    if (pagesCreated_)
        return;
    for (CDialogTab* page : Pages()) {
        page->OnInitDialog();
        TabControl().AddPage(page, page->title);
    }
    TabControl().AddPage(&compare_, tr("Compare"));
    pagesCreated_ = true;
    FitParentSplitter(CQXRViewLog::kPaneHeight);
    ApplyModeVisibility();
    ShowComparison();
}

void CQXRViewReview::ShowComparison()
{
    const ComparedDesign* compared = document_.overlays.compared.get();
    compare_.Show(document_.model, document_.Title(), compared);
    TabControl().ShowPage(&compare_, compared != nullptr);
}

// The schematic shows only for the analog controller, and comes to the
// front when the design switches to it.
void CQXRViewReview::ApplyModeVisibility()
{
    CDesignModel& model = document_.model;
    const bool analog = model.Read(model.ad) == CTop::ANALOG;
    TabControl().ShowPage(&schematic_, analog);
    if (analog && lastMode_.GetValue() != CTop::ANALOG)
        TabControl().SelectPage(&schematic_);
}

void CQXRViewReview::OnUpdate(CDocView*, int hint, QObject* hintObject)
{
    if (pagesCreated_)
        ApplyModeVisibility();
    lastMode_.SetValue(TruncToInt32(document_.model.Read(document_.model.ad)));
    if (!pagesCreated_)
        return;
    QWidget* hintControl = qobject_cast<QWidget*>(hintObject);
    for (CDialogTab* page : Pages())
        page->UpdatePage(hint, hintControl);
    ShowComparison();
}
