#include "app/TabViews.h"

#include "app/QXRViewLog.h"
#include "doc/QXRDoc.h"
#include "model/Enumerations.h"
#include "pages/PageFactory.h"

using qxr::PageInfo;
using qxr::PageKind;
using qxr::PageView;

CPageListView::CPageListView(PageView view, CQXRDoc& document, QWidget* parent)
    : CMfcCtrlTabFormView(parent), document_(document), view_(view), list_(qxr::PagesOf(view))
{
    for (const PageInfo* page : list_)
        pages_.push_back(page->kind == PageKind::Compare ? nullptr : CreatePage(*page, document));
    document_.AddView(this);
}

CPageListView::~CPageListView()
{
    document_.RemoveView(this);
}

std::vector<CDialogTab*> CPageListView::Pages()
{
    std::vector<CDialogTab*> pages;
    for (const std::unique_ptr<CDialogTab>& page : pages_) {
        if (page)
            pages.push_back(page.get());
    }
    return pages;
}

bool CPageListView::AddPageTabs(QWidget* untemplated)
{
    if (pagesCreated_)
        return false;
    for (std::size_t i = 0; i < list_.size(); ++i) {
        if (CDialogTab* page = pages_[i].get()) {
            page->OnInitDialog();
            TabControl().AddPage(page, page->title);
        } else {
            TabControl().AddPage(untemplated, PageTitle(*list_[i]));
        }
    }
    pagesCreated_ = true;
    return true;
}

void CPageListView::UpdatePages(int hint, QObject* hintObject)
{
    QWidget* hintControl = qobject_cast<QWidget*>(hintObject);
    for (CDialogTab* page : Pages())
        page->UpdatePage(hint, hintControl);
}

bool CPageListView::ShowForMode(std::size_t i)
{
    const bool shown = qxr::ShowsForMode(*list_[i], document_.model.Read(document_.model.ad));
    TabControl().ShowPage(pages_[i].get(), shown);
    return shown;
}

CQXRViewUser::CQXRViewUser(CQXRDoc& document, QWidget* parent) : CPageListView(PageView::Design, document, parent)
{
}

void CQXRViewUser::OnInitialUpdate()
{
    if (!AddPageTabs(nullptr))
        return;
    // The strip is measured with the tabs of the design's Mode alone.
    ApplyModeVisibility();
    FitParentSplitter(0);
}

// The tabs of the other controller kind are hidden; shown tabs are not selected.
void CQXRViewUser::ApplyModeVisibility()
{
    for (std::size_t i : qxr::ModePagesInVisibilityOrder(view_))
        ShowForMode(i);
}

void CQXRViewUser::OnUpdate(CDocView*, int hint, QObject* hintObject)
{
    if (!pagesCreated_)
        return;
    ApplyModeVisibility();
    UpdatePages(hint, hintObject);
}

CQXRViewReview::CQXRViewReview(CQXRDoc& document, QWidget* parent) : CPageListView(PageView::Review, document, parent)
{
}

void CQXRViewReview::OnInitialUpdate()
{
    if (!AddPageTabs(&compare_))
        return;
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

// A page of one Mode (the schematic) shows only in it, and comes to the
// front when the design switches to it.
void CQXRViewReview::ApplyModeVisibility()
{
    for (std::size_t i : qxr::ModePagesInVisibilityOrder(view_)) {
        if (ShowForMode(i) && lastMode_.GetValue() != list_[i]->mode)
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
    UpdatePages(hint, hintObject);
    ShowComparison();
}
