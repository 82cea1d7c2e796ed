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

// The design-entry view, left of the main window: the design pages of the
// page list, of which those of the other controller kind have their tabs hidden.
class CQXRViewUser : public CMfcCtrlTabFormView, public CDocView {
    Q_OBJECT

public:
    explicit CQXRViewUser(CQXRDoc& document, QWidget* parent = nullptr);
    ~CQXRViewUser() override;

    // Creates the pages, once, and fits the splitter to them.
    void OnInitialUpdate();
    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;

    // The pages in the order of the page list, whether their tabs are shown or not.
    std::vector<CDialogTab*> Pages();

private:
    void ApplyModeVisibility();

    CQXRDoc& document_;
    bool pagesCreated_ = false;
    std::vector<const qxr::PageInfo*> list_;
    std::vector<std::unique_ptr<CDialogTab>> pages_;
};

// The review view, top right: the Bode plots of both loops, the histograms
// of the stability sweep, while the design uses the analog controller its
// schematic, and while a design is compared what differs.
class CQXRViewReview : public CMfcCtrlTabFormView, public CDocView {
    Q_OBJECT

public:
    explicit CQXRViewReview(CQXRDoc& document, QWidget* parent = nullptr);
    ~CQXRViewReview() override;

    // Creates the pages, once, and gives the log pane its room below.
    void OnInitialUpdate();
    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;

    // The pages built from templates, in the order of the page list.
    std::vector<CDialogTab*> Pages();
    ComparePage& Compare() { return compare_; }

private:
    void ApplyModeVisibility();
    // The Compare tab shows while a design is compared.
    void ShowComparison();

    CQXRDoc& document_;
    bool pagesCreated_ = false;
    std::vector<const qxr::PageInfo*> list_;  // the template pages
    std::vector<std::unique_ptr<CDialogTab>> pages_;
    ComparePage compare_;
    CTop lastMode_;
};
