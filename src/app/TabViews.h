#pragma once

#include <QWidget>

#include "app/DocView.h"

class CQXRDoc;
class QTabBar;
class QVBoxLayout;

// A view whose design pages sit under a tab strip. Until a view has pages,
// hints have nothing to refresh.
class CMfcCtrlTabFormView : public QWidget, public CDocView {
    Q_OBJECT

public:
    CMfcCtrlTabFormView(CQXRDoc& document, QWidget* parent = nullptr);
    ~CMfcCtrlTabFormView() override;

    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;
    QTabBar* TabBar() const { return tabBar_; }

protected:
    CQXRDoc& document_;

private:
    QTabBar* tabBar_;
};

// The design-entry view, left of the main window.
class CQXRViewUser : public CMfcCtrlTabFormView {
    Q_OBJECT

public:
    using CMfcCtrlTabFormView::CMfcCtrlTabFormView;
};

// The review view, top right: frequency responses and schematic.
class CQXRViewReview : public CMfcCtrlTabFormView {
    Q_OBJECT

public:
    using CMfcCtrlTabFormView::CMfcCtrlTabFormView;
};
