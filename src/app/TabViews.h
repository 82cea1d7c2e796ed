#pragma once

#include <memory>
#include <vector>

#include "doc/DocView.h"
#include "model/Enumerations.h"
#include "pages/ComparePage.h"
#include "pages/DialogTab.h"
#include "present/PageList.h"
#include "widgets/TabContainer.h"

class CQXRDoc;

// A tab view of the pages the page list gives one view, built from their
// templates when the view is first shown and refreshed by every update.
class CPageListView : public CMfcCtrlTabFormView, public CDocView {
    Q_OBJECT

public:
    ~CPageListView() override;

    // The pages built from templates, in the order of the page list, whether
    // their tabs are shown or not.
    std::vector<CDialogTab*> Pages();

protected:
    CPageListView(qxr::PageView view, CQXRDoc& document, QWidget* parent);

    // Creates the pages' controls and their tabs in list order, once; the
    // page without a template (Compare) is `untemplated`. False when done before.
    bool AddPageTabs(QWidget* untemplated);
    void UpdatePages(int hint, QObject* hintObject);
    // Shows or hides the tab of the list's page i for the Mode `ad` holds; whether it shows.
    bool ShowForMode(std::size_t i);

    CQXRDoc& document_;
    bool pagesCreated_ = false;
    const qxr::PageView view_;
    const std::vector<const qxr::PageInfo*> list_;
    std::vector<std::unique_ptr<CDialogTab>> pages_;  // beside list_; none for the page without a template
};

// The design-entry view, left of the main window: the design pages, of which
// those of the other controller kind have their tabs hidden.
class CQXRViewUser : public CPageListView {
    Q_OBJECT

public:
    explicit CQXRViewUser(CQXRDoc& document, QWidget* parent = nullptr);

    // Creates the pages, once, and fits the splitter to them.
    void OnInitialUpdate();
    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;

private:
    void ApplyModeVisibility();
};

// The review view, top right: the Bode plots of both loops, the histograms
// of the stability sweep, while the design uses the analog controller its
// schematic, and while a design is compared what differs.
class CQXRViewReview : public CPageListView {
    Q_OBJECT

public:
    explicit CQXRViewReview(CQXRDoc& document, QWidget* parent = nullptr);

    // Creates the pages, once, and gives the log pane its room below.
    void OnInitialUpdate();
    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;

    ComparePage& Compare() { return compare_; }

private:
    void ApplyModeVisibility();
    // The Compare tab shows while a design is compared.
    void ShowComparison();

    ComparePage compare_;
    CTop lastMode_;
};
