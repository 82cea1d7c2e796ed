#include "app/TabViews.h"

#include "app/QXRDoc.h"
#include "model/Enumerations.h"

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
      componentSelection_(329, document)
{
    designParameters_.title = QStringLiteral("Design Parms");
    document_.AddView(this);
}

CQXRViewUser::~CQXRViewUser()
{
    document_.RemoveView(this);
}

std::array<CDialogTab*, 11> CQXRViewUser::Pages()
{
    return {&designParameters_, &powerStage_,        &currentSense_,        &multiplierAnalog_,
            &multiplierDigital_, &voltageLoopAnalog_, &voltageLoopDigital_, &currentLoopAnalog_,
            &currentLoopDigital_, &startUp_,          &componentSelection_};
}

void CQXRViewUser::OnInitialUpdate()
{
    if (pagesCreated_)
        return;
    const std::array<const char*, 11> titles = {"Design Parms", "Power Stage",  "Current Sense", "Multiplier",
                                                "Multiplier",   "Voltage Loop", "Voltage Loop",  "Current Loop",
                                                "Current Loop", "Start Up",     "Comp Sel"};
    const std::array<CDialogTab*, 11> pages = Pages();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pages[i]->OnInitDialog();
        TabControl().AddPage(pages[i], QString::fromLatin1(titles[i]));
    }
    pagesCreated_ = true;
    FitParentSplitter(0);
    ApplyModeVisibility();
}

// The tabs of the other controller kind are hidden; shown tabs are not selected.
void CQXRViewUser::ApplyModeVisibility()
{
    const auto isMode = [this](int mode) {
        document_.model.ad.inUse = true;
        return document_.model.ad.Value() == mode;
    };
    const std::pair<CDialogTab*, int> modePages[] = {
        {&startUp_, CTop::ANALOG},           {&componentSelection_, CTop::ANALOG},
        {&multiplierAnalog_, CTop::ANALOG},  {&multiplierDigital_, CTop::DIGITAL},
        {&voltageLoopAnalog_, CTop::ANALOG}, {&voltageLoopDigital_, CTop::DIGITAL},
        {&currentLoopAnalog_, CTop::ANALOG}, {&currentLoopDigital_, CTop::DIGITAL},
    };
    for (const auto& [page, mode] : modePages)
        TabControl().ShowPage(page, isMode(mode));
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
    : CMfcCtrlTabFormView(parent), document_(document)
{
    document_.AddView(this);
}

CQXRViewReview::~CQXRViewReview()
{
    document_.RemoveView(this);
}
