#pragma once

#include <optional>
#include <vector>

#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "widgets/ScrollState.h"

class QScrollBar;
class QTabBar;

// One page of a tab control.
struct TabPageEntry {
    QWidget* page;  // not owned: the view owns its pages
    QString title;
    int width;  // natural size, measured when the page was added
    int height;
    int tabPosition;  // index of the page's tab in the strip; -1 while hidden
    int pageIndex;    // index in the page list; never changes
};

// Which page has its tab where. The shown tabs are the entries whose tab
// position is not -1, in list order, at positions 0, 1, 2 and so on.
class TabPageList {
public:
    // Appends the page with its tab at the end of the strip.
    const TabPageEntry& Add(QWidget* page, const QString& title, QSize naturalSize);

    const std::vector<TabPageEntry>& Entries() const { return entries_; }
    const TabPageEntry& At(int pageIndex) const { return entries_.at(static_cast<std::size_t>(pageIndex)); }
    // Searches from the end, so the latest entry of a page added twice wins.
    const TabPageEntry* Find(const QWidget* page) const;
    const TabPageEntry* AtTab(int tabPosition) const;
    // The nearest earlier entry whose tab is shown, else the nearest later one.
    const TabPageEntry* NearestWithTab(int pageIndex) const;
    QSize LargestNaturalSize() const;

    // Take the entry's tab out of the strip or put it back between its list
    // neighbours. Both return the tab position concerned, or nothing when the
    // tab already was as asked.
    std::optional<int> HideTab(int pageIndex);
    std::optional<int> ShowTab(int pageIndex);

private:
    int TabsBefore(int pageIndex) const;
    void ShiftLaterTabs(int pageIndex, int step);

    std::vector<TabPageEntry> entries_;
};

// The scroll host under the tab strip: the pages live in its client area,
// beside its own scroll bars, and the current page is scrolled by moving it.
class CMfcCtrlTabWnd : public QWidget {
    Q_OBJECT

public:
    explicit CMfcCtrlTabWnd(QWidget* parent = nullptr);

    // The pages' parent: the host less its scroll bars.
    QWidget* ClientArea() const { return clientArea_; }
    // The room the scroll bars take from the host, across and down.
    QSize BarExtents() const;
    // Scrolls page, whose natural size is naturalSize, from now on.
    void SetContent(QWidget* page, QSize naturalSize);

    const CMfcScrollState& ScrollState() const { return state_; }
    QScrollBar* HorizontalBar() const { return horizontalBar_; }
    QScrollBar* VerticalBar() const { return verticalBar_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QScrollBar* Bar(ScrollAxis axis) const;
    void OnBarAction(ScrollAxis axis, int action);
    void UpdateScrollBars();
    void ShowState();

    CMfcScrollState state_;
    QWidget* clientArea_;
    QScrollBar* horizontalBar_;
    QScrollBar* verticalBar_;
    QPointer<QWidget> content_;
};

// A tab strip over a scrolling page area. Pages are added once; afterwards
// their tabs hide and reappear, but the pages themselves stay. Exactly one
// page, the current one, is shown and enabled.
class CMfcCtrlTab : public QWidget {
    Q_OBJECT

public:
    explicit CMfcCtrlTab(QWidget* parent = nullptr);

    // Moves page into the scroll host. The first page added becomes current.
    void AddPage(QWidget* page, const QString& title);
    // Shows or hides the page's tab; a shown tab is not selected. Returns
    // whether anything changed.
    bool ShowPage(QWidget* page, bool show);
    // Hiding the current page's tab makes the nearest earlier page with a tab
    // current, else the next one.
    bool HidePage(QWidget* page);
    void SelectPage(QWidget* page);
    // The size that shows every page whole and every tab title, without scrolling.
    QSize NeededSize() const;
    // The size that shows every page whole, the strip's height included; its titles may need to scroll.
    QSize NeededPageSize() const;
    // Makes the page at pageIndex of the page list current; false when its
    // tab is hidden or there is no such page.
    bool SelectIndex(int pageIndex);
    // Selects the tab step places along the strip, wrapping at either end.
    void SelectAdjacentTab(int step);
    // Places the strip and the host, and scrolls the entry's page.
    void LayoutPage(const TabPageEntry& entry);

    QWidget* CurrentPage() const;
    int CurrentIndex() const { return current_; }
    QStringList TabTitles() const;
    const TabPageList& Pages() const { return pages_; }
    CMfcCtrlTabWnd& ScrollHost() const { return *host_; }

signals:
    void CurrentPageChanged(QWidget* page);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceStripAndHost();
    void OnTabChanged(int tabPosition);
    void SelectEntry(const TabPageEntry& entry);
    void MakeCurrent(const TabPageEntry& entry);

    QTabBar* tabBar_;
    CMfcCtrlTabWnd* host_;
    TabPageList pages_;
    int current_ = 0;
};

// A view made of one tab control filling it.
class CMfcCtrlTabFormView : public QWidget {
    Q_OBJECT

public:
    explicit CMfcCtrlTabFormView(QWidget* parent = nullptr);

    CMfcCtrlTab& TabControl() { return tab_; }
    // Sizes the first pane of the splitter holding the view to the pages: in
    // a vertical splitter its height is the splitter's less reserve, or the
    // pages' needed height when reserve is 0; in a horizontal one its width is
    // the pages' needed width.
    void FitParentSplitter(int reserve);
    // In a horizontal splitter, narrows this first pane where the pane after
    // it has less than extent pixels, so that it gets them if it can.
    void LeaveRoomForNextPane(int extent);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CMfcCtrlTab tab_;
};
