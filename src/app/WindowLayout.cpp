#include "app/WindowLayout.h"

#include <algorithm>

#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QSplitter>

#include "widgets/TabContainer.h"

namespace {

const QString kGeometryKey = QStringLiteral("Window/Geometry");
const QString kStateKey = QStringLiteral("Window/State");

// The share of the available area a window may take at first start.
constexpr double kScreenShare = 0.95;

QString SplitterKey(const QSplitter& splitter)
{
    return QStringLiteral("Window/Splitters/%1").arg(splitter.objectName());
}

QString PageKey(const CMfcCtrlTab& tabs)
{
    return QStringLiteral("Window/CurrentPage/%1").arg(tabs.objectName());
}

// A window saved on a larger or another screen shrinks and moves onto this one.
void FitIntoScreen(QWidget& window)
{
    if (window.isMaximized() || window.isFullScreen())
        return;
    const QRect available = window.screen()->availableGeometry();
    const QSize frame = window.frameGeometry().size() - window.size();
    window.resize(window.size().boundedTo(available.size() - frame));
    const QRect outer = window.frameGeometry();
    window.move(std::clamp(outer.x(), available.left(), available.right() + 1 - outer.width()),
                std::clamp(outer.y(), available.top(), available.bottom() + 1 - outer.height()));
}

}  // namespace

WindowLayout::WindowLayout(QMainWindow& window, QList<QSplitter*> splitters, QList<CMfcCtrlTab*> tabs)
    : window_(window), splitters_(std::move(splitters)), tabs_(std::move(tabs))
{
}

QSize WindowLayout::FirstStartSize(const QScreen& screen)
{
    const QSize available = screen.availableSize();
    const QSize share(static_cast<int>(available.width() * kScreenShare),
                      static_cast<int>(available.height() * kScreenShare));
    return kPreferredSize.boundedTo(share);
}

void WindowLayout::Save() const
{
    QSettings settings;
    settings.setValue(kGeometryKey, window_.saveGeometry());
    settings.setValue(kStateKey, window_.saveState());
    for (const QSplitter* splitter : splitters_)
        settings.setValue(SplitterKey(*splitter), splitter->saveState());
    for (const CMfcCtrlTab* tabs : tabs_)
        settings.setValue(PageKey(*tabs), tabs->CurrentIndex());
}

bool WindowLayout::RestoreGeometry() const
{
    const QSettings settings;
    window_.restoreState(settings.value(kStateKey).toByteArray());
    return window_.restoreGeometry(settings.value(kGeometryKey).toByteArray());
}

void WindowLayout::RestorePanes() const
{
    // Only a window on show knows its frame.
    FitIntoScreen(window_);
    const QSettings settings;
    for (QSplitter* splitter : splitters_) {
        const QVariant state = settings.value(SplitterKey(*splitter));
        if (state.isValid())
            splitter->restoreState(state.toByteArray());
    }
    // A page whose tab the design hides now stays in the background.
    for (CMfcCtrlTab* tabs : tabs_) {
        const QVariant page = settings.value(PageKey(*tabs));
        if (page.isValid())
            tabs->SelectIndex(page.toInt());
    }
}
