#include "app/TabViews.h"

#include <QTabBar>
#include <QVBoxLayout>

#include "app/QXRDoc.h"

CMfcCtrlTabFormView::CMfcCtrlTabFormView(CQXRDoc& document, QWidget* parent)
    : QWidget(parent), document_(document), tabBar_(new QTabBar(this))
{
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabBar_);
    layout->addStretch();
    document_.AddView(this);
}

CMfcCtrlTabFormView::~CMfcCtrlTabFormView()
{
    document_.RemoveView(this);
}

void CMfcCtrlTabFormView::OnUpdate(CDocView*, int, QObject*) {}
