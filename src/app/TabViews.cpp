#include "app/TabViews.h"

#include "app/QXRViewLog.h"
#include "doc/QXRDoc.h"
#include "model/Enumerations.h"
#include "pages/PageFactory.h"

using qxr::PageInfo;
using qxr::PageKind;
using qxr::PageView;

namespace {

std::vector<CDialogTab*> PointersTo(const std::vector<std::unique_ptr<CDialogTab>>& pages)
{
    std::vector<CDialogTab*> pointers;
    for (const std::unique_ptr<CDialogTab>& page : pages)
        pointers.push_back(page.get());
    return pointers;
}

}  // namespace

CQXRViewUser::CQXRViewUser(CQXRDoc& document, QWidget* parent)
    : CMfcCtrlTabFormView(parent), document_(document), list_(qxr::PagesOf(PageView::Design))
{
    for (const PageInfo* page : list_)
        pages_.push_back(CreatePage(*page, document));
    document_.AddView(this);
}

CQXRViewUser::~CQXRViewUser()
{
    document_.RemoveView(this);
}

std::vector<CDialogTab*> CQXRViewUser::Pages()
{
    return PointersTo(pages_);
}

void CQXRViewUser::OnInitialUpdate()
{
    if (pagesCreated_)
        return;
    for (const std::unique_ptr<CDialogTab>& page : pages_) {
        page->OnInitDialog();
        TabControl().AddPage(page.get(), page->title);
    }
    pagesCreated_ = true;
    // The strip is measured with the tabs of the design's Mode alone.
    ApplyModeVisibility();
    FitParentSplitter(0);
}

// The tabs of the other controller kind are hidden; shown tabs are not selected.
void CQXRViewUser::ApplyModeVisibility()
{
    for (std::size_t i : qxr::ModePagesInVisibilityOrder(PageView::Design)) {
        const bool shown = qxr::ShowsForMode(*list_[i], document_.model.Read(document_.model.ad));
        TabControl().ShowPage(pages_[i].get(), shown);
    }
}

void CQXRViewUser::OnUpdate(CDocView*, int hint, QObject* hintObject)
{
    if (!pagesCreated_)
        return;
    ApplyModeVisibility();
    QWidget* hintControl = qobject_cast<QWidget*>(hintObject);
    for (const std::unique_ptr<CDialogTab>& page : pages_)
        page->UpdatePage(hint, hintControl);
}

CQXRViewReview::CQXRViewReview(CQXRDoc& document, QWidget* parent) : CMfcCtrlTabFormView(parent), document_(document)
{
    for (const PageInfo* page : qxr::PagesOf(PageView::Review)) {
        if (page->kind == PageKind::Compare)
            continue;
        list_.push_back(page);
        pages_.push_back(CreatePage(*page, document));
    }
    document_.AddView(this);
}

CQXRViewReview::~CQXRViewReview()
{
    document_.RemoveView(this);
}

std::vector<CDialogTab*> CQXRViewReview::Pages()
{
    return PointersTo(pages_);
}

void CQXRViewReview::OnInitialUpdate()
{
    if (pagesCreated_)
        return;
    std::size_t next = 0;
    for (const PageInfo* page : qxr::PagesOf(PageView::Review)) {
        if (page->kind == PageKind::Compare) {
            TabControl().AddPage(&compare_, PageTitle(*page));
            continue;
        }
        CDialogTab* built = pages_[next++].get();
        built->OnInitDialog();
        TabControl().AddPage(built, built->title);
    }
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

// The pages of one Mode (the schematic) show only in it, and come to the
// front when the design switches to it.
void CQXRViewReview::ApplyModeVisibility()
{
    CDesignModel& model = document_.model;
    for (std::size_t i = 0; i < list_.size(); ++i) {
        if (list_[i]->mode == PageInfo::kEveryMode)
            continue;
        const bool shown = qxr::ShowsForMode(*list_[i], model.Read(model.ad));
        TabControl().ShowPage(pages_[i].get(), shown);
        if (shown && lastMode_.GetValue() != list_[i]->mode)
            TabControl().SelectPage(pages_[i].get());
    }
}

void CQXRViewReview::OnUpdate(CDocView*, int hint, QObject* hintObject)
{
    if (pagesCreated_)
        ApplyModeVisibility();
    lastMode_.SetValue(TruncToInt32(document_.model.Read(document_.model.ad)));
    if (!pagesCreated_)
        return;
    QWidget* hintControl = qobject_cast<QWidget*>(hintObject);
    for (const std::unique_ptr<CDialogTab>& page : pages_)
        page->UpdatePage(hint, hintControl);
    ShowComparison();
}
