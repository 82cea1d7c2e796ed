#include "widgets/TabContainer.h"

#include <algorithm>
#include <numeric>

#include <QApplication>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabBar>
#include <QWheelEvent>

namespace {

// A page keeps the size it was built with; one left to Qt is as big as its
// layout asks.
QSize NaturalSize(const QWidget& page)
{
    if (page.testAttribute(Qt::WA_Resized))
        return page.size();
    return page.sizeHint().expandedTo(QSize(0, 0));
}

void ShowAsCurrent(QWidget& page)
{
    page.setEnabled(true);
    page.show();
    page.setFocus();
}

// Hidden pages are disabled too, so that nothing on them takes the focus.
void PutAside(QWidget& page)
{
    page.setEnabled(false);
    page.hide();
}

std::optional<ScrollCode> ScrollCodeOf(int sliderAction)
{
    switch (sliderAction) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollCode::LineBack;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollCode::LineForward;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollCode::PageBack;
    case QAbstractSlider::SliderPageStepAdd:
        return ScrollCode::PageForward;
    case QAbstractSlider::SliderMove:
        return ScrollCode::ThumbTrack;
    default:  // jumps to either end are none of the host's scroll commands
        return std::nullopt;
    }
}

void ShowAxis(QScrollBar& bar, const ScrollAxisState& axis)
{
    // Qt's range counts scroll positions; the page is the thumb on top of it.
    bar.setRange(0, axis.Limit());
    bar.setPageStep(axis.viewport);
    bar.setValue(axis.position);
    bar.setEnabled(axis.Scrollable());
}

// The first pane takes extent and the second one what is left, but never
// less than its minimum. A splitter not laid out yet scales the sizes to its
// room once it is.
void SetFirstPaneExtent(QSplitter& splitter, int extent)
{
    QList<int> sizes = splitter.sizes();
    if (sizes.size() < 2)
        return;
    const bool across = splitter.orientation() == Qt::Horizontal;
    const int length = across ? splitter.width() : splitter.height();
    const int handles = splitter.handleWidth() * static_cast<int>(sizes.size() - 1);
    const int furtherPanes = std::accumulate(sizes.cbegin() + 2, sizes.cend(), 0);
    const QSize secondMinimum = splitter.widget(1)->minimumSize();
    const int secondRoom = across ? secondMinimum.width() : secondMinimum.height();
    const int roomLeft = length - handles - furtherPanes - secondRoom;
    sizes[0] = std::max(0, secondRoom > 0 ? std::min(extent, roomLeft) : extent);
    sizes[1] = std::max(0, length - handles - furtherPanes - sizes[0]);
    splitter.setSizes(sizes);
}

}  // namespace

// --- TabPageList

const TabPageEntry& TabPageList::Add(QWidget* page, const QString& title, QSize naturalSize)
{
    const int pageIndex = static_cast<int>(entries_.size());
    const int tabPosition = TabsBefore(pageIndex);
    entries_.push_back({page, title, naturalSize.width(), naturalSize.height(), tabPosition, pageIndex});
    return entries_.back();
}

const TabPageEntry* TabPageList::Find(const QWidget* page) const
{
    const auto found = std::find_if(entries_.rbegin(), entries_.rend(),
                                    [page](const TabPageEntry& entry) { return entry.page == page; });
    return found == entries_.rend() ? nullptr : &*found;
}

const TabPageEntry* TabPageList::AtTab(int tabPosition) const
{
    const auto found = std::find_if(entries_.begin(), entries_.end(), [tabPosition](const TabPageEntry& entry) {
        return entry.tabPosition == tabPosition;
    });
    return found == entries_.end() ? nullptr : &*found;
}

const TabPageEntry* TabPageList::NearestWithTab(int pageIndex) const
{
    const auto hasTab = [](const TabPageEntry& entry) { return entry.tabPosition >= 0; };
    const auto self = entries_.begin() + pageIndex;
    const auto earlier = std::find_if(std::make_reverse_iterator(self), entries_.rend(), hasTab);
    if (earlier != entries_.rend())
        return &*earlier;
    const auto later = std::find_if(self + 1, entries_.end(), hasTab);
    return later == entries_.end() ? nullptr : &*later;
}

QSize TabPageList::LargestNaturalSize() const
{
    QSize largest(0, 0);
    for (const TabPageEntry& entry : entries_)
        largest = largest.expandedTo(QSize(entry.width, entry.height));
    return largest;
}

std::optional<int> TabPageList::HideTab(int pageIndex)
{
    TabPageEntry& entry = entries_.at(static_cast<std::size_t>(pageIndex));
    if (entry.tabPosition < 0)
        return std::nullopt;
    const int removed = entry.tabPosition;
    ShiftLaterTabs(pageIndex, -1);
    entry.tabPosition = -1;
    return removed;
}

std::optional<int> TabPageList::ShowTab(int pageIndex)
{
    TabPageEntry& entry = entries_.at(static_cast<std::size_t>(pageIndex));
    if (entry.tabPosition >= 0)
        return std::nullopt;
    ShiftLaterTabs(pageIndex, +1);
    entry.tabPosition = TabsBefore(pageIndex);
    return entry.tabPosition;
}

int TabPageList::TabsBefore(int pageIndex) const
{
    return static_cast<int>(std::count_if(entries_.begin(), entries_.begin() + pageIndex,
                                          [](const TabPageEntry& entry) { return entry.tabPosition >= 0; }));
}

void TabPageList::ShiftLaterTabs(int pageIndex, int step)
{
    for (auto entry = entries_.begin() + pageIndex + 1; entry != entries_.end(); ++entry) {
        if (entry->tabPosition >= 0)
            entry->tabPosition += step;
    }
}

// --- CMfcCtrlTabWnd

CMfcCtrlTabWnd::CMfcCtrlTabWnd(QWidget* parent)
    : QWidget(parent),
      clientArea_(new QWidget(this)),
      horizontalBar_(new QScrollBar(Qt::Horizontal, this)),
      verticalBar_(new QScrollBar(Qt::Vertical, this))
{
    for (const ScrollAxis axis : {ScrollAxis::Horizontal, ScrollAxis::Vertical}) {
        QScrollBar* bar = Bar(axis);
        bar->setSingleStep(CMfcScrollState::kLineStep);
        bar->installEventFilter(this);
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, axis](int action) { OnBarAction(axis, action); });
    }
    ShowState();
}

QSize CMfcCtrlTabWnd::BarExtents() const
{
    return {verticalBar_->sizeHint().width(), horizontalBar_->sizeHint().height()};
}

void CMfcCtrlTabWnd::SetContent(QWidget* page, QSize naturalSize)
{
    content_ = page;
    state_.SetContentSize(naturalSize);
    UpdateScrollBars();
}

void CMfcCtrlTabWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The bars always keep their room, showing disabled when there is nothing
    // to scroll, so the pages see the same area whatever their size.
    const QSize bars = BarExtents();
    const QRect client(0, 0, width() - bars.width(), height() - bars.height());
    clientArea_->setGeometry(client);
    verticalBar_->setGeometry(client.width(), 0, bars.width(), client.height());
    horizontalBar_->setGeometry(0, client.height(), client.width(), bars.height());
    UpdateScrollBars();
}

void CMfcCtrlTabWnd::wheelEvent(QWheelEvent* event)
{
    // A sideways tilt is not a turn of the wheel.
    const int delta = event->angleDelta().y();
    if (delta != 0 && state_.Wheel(delta, QApplication::wheelScrollLines())) {
        ShowState();
        event->accept();
    } else {
        event->ignore();
    }
}

bool CMfcCtrlTabWnd::eventFilter(QObject* watched, QEvent* event)
{
    // Over the bars the wheel scrolls as over the page, not by the bars' own steps.
    if (event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QScrollBar* CMfcCtrlTabWnd::Bar(ScrollAxis axis) const
{
    return axis == ScrollAxis::Horizontal ? horizontalBar_ : verticalBar_;
}

void CMfcCtrlTabWnd::OnBarAction(ScrollAxis axis, int action)
{
    if (const std::optional<ScrollCode> code = ScrollCodeOf(action))
        state_.Scroll(axis, *code, Bar(axis)->sliderPosition());
    // The slider has already stepped on its own; it shows the state instead.
    ShowState();
}

void CMfcCtrlTabWnd::UpdateScrollBars()
{
    state_.UpdateScrollBars(clientArea_->size());
    ShowState();
}

void CMfcCtrlTabWnd::ShowState()
{
    const ScrollAxisState& horizontal = state_.At(ScrollAxis::Horizontal);
    const ScrollAxisState& vertical = state_.At(ScrollAxis::Vertical);
    ShowAxis(*horizontalBar_, horizontal);
    ShowAxis(*verticalBar_, vertical);
    // Never smaller than the visible area, and shifted by the scroll offsets.
    if (content_) {
        const QSize size = clientArea_->size().expandedTo(QSize(horizontal.content, vertical.content));
        content_->setGeometry(QRect(QPoint(-horizontal.position, -vertical.position), size));
    }
}

// --- CMfcCtrlTab

CMfcCtrlTab::CMfcCtrlTab(QWidget* parent) : QWidget(parent), tabBar_(new QTabBar(this)), host_(new CMfcCtrlTabWnd(this))
{
    // Programmatic tab changes block the bar's signals, so this hears the user only.
    connect(tabBar_, &QTabBar::currentChanged, this, &CMfcCtrlTab::OnTabChanged);
}

void CMfcCtrlTab::AddPage(QWidget* page, const QString& title)
{
    page->setParent(host_->ClientArea());
    const TabPageEntry& entry = pages_.Add(page, title, NaturalSize(*page));
    {
        const QSignalBlocker quiet(tabBar_);
        tabBar_->insertTab(entry.tabPosition, title);
    }
    // Only the current page is laid out; the others are when they are selected.
    if (entry.pageIndex == current_) {
        LayoutPage(entry);
        ShowAsCurrent(*page);
    } else {
        PutAside(*page);
    }
}

bool CMfcCtrlTab::ShowPage(QWidget* page, bool show)
{
    if (!show)
        return HidePage(page);
    const TabPageEntry* entry = pages_.Find(page);
    const std::optional<int> inserted = entry ? pages_.ShowTab(entry->pageIndex) : std::nullopt;
    if (!inserted)
        return false;
    {
        const QSignalBlocker quiet(tabBar_);
        tabBar_->insertTab(*inserted, entry->title);
    }
    // Only when every other tab was hidden has the current page none; the
    // strip then selects the new tab, and its page follows.
    if (pages_.At(current_).tabPosition < 0)
        SelectEntry(*entry);
    return true;
}

bool CMfcCtrlTab::HidePage(QWidget* page)
{
    const TabPageEntry* entry = pages_.Find(page);
    const std::optional<int> removed = entry ? pages_.HideTab(entry->pageIndex) : std::nullopt;
    if (!removed)
        return false;
    {
        const QSignalBlocker quiet(tabBar_);
        tabBar_->removeTab(*removed);
    }
    // With no other tab left the page stays on show: there is nothing else.
    if (entry->pageIndex == current_) {
        if (const TabPageEntry* next = pages_.NearestWithTab(current_))
            SelectEntry(*next);
    }
    return true;
}

void CMfcCtrlTab::SelectPage(QWidget* page)
{
    if (const TabPageEntry* entry = pages_.Find(page))
        SelectEntry(*entry);
}

QSize CMfcCtrlTab::NeededSize() const
{
    return NeededPageSize().expandedTo(QSize(tabBar_->sizeHint().width(), 0));
}

QSize CMfcCtrlTab::NeededPageSize() const
{
    const QSize chrome = host_->BarExtents() + QSize(0, tabBar_->sizeHint().height());
    return pages_.LargestNaturalSize() + chrome;
}

bool CMfcCtrlTab::SelectIndex(int pageIndex)
{
    if (pageIndex < 0 || pageIndex >= static_cast<int>(pages_.Entries().size()) || pages_.At(pageIndex).tabPosition < 0)
        return false;
    SelectEntry(pages_.At(pageIndex));
    return true;
}

void CMfcCtrlTab::SelectAdjacentTab(int step)
{
    const int count = tabBar_->count();
    if (count == 0)
        return;
    if (const TabPageEntry* entry = pages_.AtTab((tabBar_->currentIndex() + step + count) % count))
        SelectEntry(*entry);
}

void CMfcCtrlTab::LayoutPage(const TabPageEntry& entry)
{
    PlaceStripAndHost();
    host_->SetContent(entry.page, QSize(entry.width, entry.height));
}

QWidget* CMfcCtrlTab::CurrentPage() const
{
    return pages_.Entries().empty() ? nullptr : pages_.At(current_).page;
}

QStringList CMfcCtrlTab::TabTitles() const
{
    QStringList titles;
    for (int tab = 0; tab < tabBar_->count(); ++tab)
        titles << tabBar_->tabText(tab);
    return titles;
}

void CMfcCtrlTab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (pages_.Entries().empty())
        PlaceStripAndHost();
    else
        LayoutPage(pages_.At(current_));
}

void CMfcCtrlTab::PlaceStripAndHost()
{
    const int stripHeight = tabBar_->sizeHint().height();
    tabBar_->setGeometry(0, 0, width(), stripHeight);
    host_->setGeometry(0, stripHeight, width(), height() - stripHeight);
}

void CMfcCtrlTab::OnTabChanged(int tabPosition)
{
    if (const TabPageEntry* entry = pages_.AtTab(tabPosition))
        MakeCurrent(*entry);
}

void CMfcCtrlTab::SelectEntry(const TabPageEntry& entry)
{
    if (entry.tabPosition >= 0) {
        const QSignalBlocker quiet(tabBar_);
        tabBar_->setCurrentIndex(entry.tabPosition);
    }
    MakeCurrent(entry);
}

void CMfcCtrlTab::MakeCurrent(const TabPageEntry& entry)
{
    const bool changed = entry.pageIndex != current_;
    PutAside(*pages_.At(current_).page);
    current_ = entry.pageIndex;
    LayoutPage(entry);
    ShowAsCurrent(*entry.page);
    if (changed)
        emit CurrentPageChanged(entry.page);
}

// --- CMfcCtrlTabFormView

CMfcCtrlTabFormView::CMfcCtrlTabFormView(QWidget* parent) : QWidget(parent), tab_(this)
{
}

void CMfcCtrlTabFormView::FitParentSplitter(int reserve)
{
    auto* splitter = qobject_cast<QSplitter*>(parentWidget());
    if (!splitter)
        return;
    const QSize needed = tab_.NeededSize();
    if (splitter->orientation() == Qt::Horizontal)
        SetFirstPaneExtent(*splitter, needed.width());
    else
        SetFirstPaneExtent(*splitter, reserve != 0 ? splitter->height() - reserve : needed.height());
}

void CMfcCtrlTabFormView::LeaveRoomForNextPane(int extent)
{
    auto* splitter = qobject_cast<QSplitter*>(parentWidget());
    if (!splitter || splitter->orientation() != Qt::Horizontal)
        return;
    QList<int> sizes = splitter->sizes();
    if (sizes.size() < 2 || sizes[1] >= extent)
        return;
    const int both = sizes[0] + sizes[1];
    sizes[0] = std::max(0, both - extent);
    sizes[1] = both - sizes[0];
    splitter->setSizes(sizes);
}

void CMfcCtrlTabFormView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    tab_.setGeometry(rect());
}
