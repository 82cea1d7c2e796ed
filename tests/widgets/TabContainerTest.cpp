#include <vector>

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "widgets/TabContainer.h"

namespace {

// A tab control on screen with pages of the given sizes, titled P0, P1 ...
// Pages are sized as the page builder sizes them, by hand.
struct PagedTab {
    CMfcCtrlTab tab;
    std::vector<QWidget*> pages;

    explicit PagedTab(const std::vector<QSize>& sizes)
    {
        for (const QSize size : sizes) {
            pages.push_back(new QWidget);
            pages.back()->resize(size);
            tab.AddPage(pages.back(), QStringLiteral("P%1").arg(pages.size() - 1));
        }
        tab.resize(tab.NeededSize());
        tab.show();
    }
    explicit PagedTab(int count) : PagedTab(std::vector<QSize>(static_cast<std::size_t>(count), QSize(200, 150))) {}

    QStringList Titles(std::initializer_list<int> indexes) const
    {
        QStringList titles;
        for (const int index : indexes)
            titles << QStringLiteral("P%1").arg(index);
        return titles;
    }

    std::vector<int> TabPositions() const
    {
        std::vector<int> positions;
        for (const TabPageEntry& entry : tab.Pages().Entries())
            positions.push_back(entry.tabPosition);
        return positions;
    }

    // Exactly the current page is shown and enabled, and its tab is selected.
    void ExpectCurrent(int index) const
    {
        EXPECT_EQ(tab.CurrentPage(), pages[static_cast<std::size_t>(index)]);
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const bool current = static_cast<int>(i) == index;
            EXPECT_EQ(pages[i]->isVisible(), current) << "page " << i;
            EXPECT_EQ(pages[i]->isEnabled(), current) << "page " << i;
        }
        EXPECT_EQ(tab.findChild<QTabBar*>()->currentIndex(), tab.Pages().At(index).tabPosition);
    }
};

TEST(TabControl, HiddenTabsCloseUpAndReturnBetweenTheirNeighbours)
{
    PagedTab paged(11);
    for (const int index : {3, 5, 6})
        EXPECT_TRUE(paged.tab.HidePage(paged.pages[index]));
    EXPECT_TRUE(paged.tab.ShowPage(paged.pages[10], false));
    EXPECT_EQ(paged.tab.TabTitles(), paged.Titles({0, 1, 2, 4, 7, 8, 9}));
    EXPECT_EQ(paged.TabPositions(), (std::vector<int>{0, 1, 2, -1, 3, -1, -1, 4, 5, 6, -1}));

    EXPECT_FALSE(paged.tab.HidePage(paged.pages[5]));
    EXPECT_TRUE(paged.tab.ShowPage(paged.pages[6], true));
    EXPECT_FALSE(paged.tab.ShowPage(paged.pages[6], true));
    EXPECT_TRUE(paged.tab.ShowPage(paged.pages[10], true));
    EXPECT_TRUE(paged.tab.ShowPage(paged.pages[3], true));
    EXPECT_EQ(paged.tab.TabTitles(), paged.Titles({0, 1, 2, 3, 4, 6, 7, 8, 9, 10}));
    EXPECT_EQ(paged.TabPositions(), (std::vector<int>{0, 1, 2, 3, 4, -1, 5, 6, 7, 8, 9}));

    // Showing a tab does not select it, and no page was lost on the way.
    paged.ExpectCurrent(0);
    for (QWidget* page : paged.pages)
        EXPECT_EQ(page->parentWidget(), paged.tab.ScrollHost().ClientArea());

    QWidget stranger;
    EXPECT_FALSE(paged.tab.HidePage(&stranger));
    EXPECT_FALSE(paged.tab.ShowPage(&stranger, true));
}

TEST(TabControl, HidingTheCurrentPageSelectsTheNearestEarlierElseTheNext)
{
    struct Case {
        std::vector<int> hiddenBefore;
        int current;
        int expected;
    };
    const Case cases[] = {
        {{}, 4, 3}, {{3, 2}, 4, 1}, {{1, 2, 3, 4}, 5, 0}, {{}, 0, 1}, {{0, 1}, 2, 3}, {{0}, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "current " << c.current);
        PagedTab paged(6);
        paged.tab.SelectPage(paged.pages[c.current]);
        for (const int index : c.hiddenBefore)
            paged.tab.HidePage(paged.pages[index]);
        QSignalSpy changes(&paged.tab, &CMfcCtrlTab::CurrentPageChanged);

        EXPECT_TRUE(paged.tab.HidePage(paged.pages[c.current]));
        paged.ExpectCurrent(c.expected);
        ASSERT_EQ(changes.count(), 1);
        EXPECT_EQ(changes.at(0).at(0).value<QWidget*>(), paged.pages[c.expected]);
    }
}

TEST(TabControl, LastTabHiddenKeepsItsPageUntilAnotherTabReturns)
{
    PagedTab paged(3);
    paged.tab.HidePage(paged.pages[1]);
    paged.tab.HidePage(paged.pages[2]);
    EXPECT_TRUE(paged.tab.HidePage(paged.pages[0]));
    EXPECT_TRUE(paged.tab.TabTitles().isEmpty());
    EXPECT_EQ(paged.tab.CurrentPage(), paged.pages[0]);
    EXPECT_TRUE(paged.pages[0]->isVisible());

    EXPECT_TRUE(paged.tab.ShowPage(paged.pages[2], true));
    paged.ExpectCurrent(2);
}

TEST(TabControl, ClickedTabShowsThePageAtThatPosition)
{
    PagedTab paged(5);
    paged.tab.HidePage(paged.pages[1]);
    paged.tab.HidePage(paged.pages[2]);
    QSignalSpy changes(&paged.tab, &CMfcCtrlTab::CurrentPageChanged);

    // Unlike the tab control's own changes, a user's reaches the bar's signal.
    paged.tab.findChild<QTabBar*>()->setCurrentIndex(1);
    paged.ExpectCurrent(3);
    EXPECT_EQ(changes.count(), 1);

    paged.tab.SelectPage(paged.pages[4]);
    paged.ExpectCurrent(4);
    EXPECT_EQ(changes.count(), 2);
}

TEST(TabControl, NeededSizeShowsEveryPageWhole)
{
    auto* laidOut = new QWidget;
    auto* content = new QWidget;
    content->setFixedSize(320, 100);
    (new QVBoxLayout(laidOut))->addWidget(content);
    PagedTab paged({{300, 200}, {250, 400}});
    paged.pages.push_back(laidOut);
    paged.tab.AddPage(laidOut, "P2");

    // A page never resized by hand is as large as its layout wants.
    const TabPageEntry& entry = paged.tab.Pages().At(2);
    EXPECT_EQ(QSize(entry.width, entry.height), laidOut->sizeHint());
    const QSize largest(laidOut->sizeHint().width(), 400);

    CMfcCtrlTabWnd& host = paged.tab.ScrollHost();
    paged.tab.resize(paged.tab.NeededSize());
    EXPECT_EQ(host.ClientArea()->size(), largest);
    for (QWidget* page : paged.pages) {
        paged.tab.SelectPage(page);
        EXPECT_FALSE(host.HorizontalBar()->isEnabled());
        EXPECT_FALSE(host.VerticalBar()->isEnabled());
        EXPECT_EQ(page->geometry(), QRect(QPoint(0, 0), largest));
    }

    paged.tab.resize(paged.tab.NeededSize() - QSize(0, 1));
    paged.tab.SelectPage(paged.pages[1]);
    EXPECT_TRUE(host.VerticalBar()->isEnabled());
    EXPECT_FALSE(host.HorizontalBar()->isEnabled());
}

TEST(TabControl, NeededSizeShowsEveryTabTitleWhole)
{
    CMfcCtrlTab tab;
    for (const char* title : {"A rather long first title", "Another long title", "And a third one"}) {
        auto* page = new QWidget;
        page->resize(60, 40);
        tab.AddPage(page, title);
    }
    tab.resize(tab.NeededSize());
    tab.show();
    const QTabBar& strip = *tab.findChild<QTabBar*>();
    EXPECT_GT(tab.NeededSize().width(), 60 + tab.ScrollHost().BarExtents().width());
    EXPECT_LE(strip.tabRect(strip.count() - 1).right(), strip.width() - 1);
    EXPECT_EQ(strip.tabRect(0).left(), 0);  // no scroll arrows shifted the strip
}

TEST(TabControl, AdjacentTabsWrapAroundAndSkipHiddenPages)
{
    struct Case {
        int from;
        int step;
        int expected;
    };
    const Case cases[] = {{0, 1, 2}, {2, 1, 4}, {4, 1, 0}, {0, -1, 4}, {4, -1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.from << " step " << c.step);
        PagedTab paged(5);
        paged.tab.HidePage(paged.pages[1]);
        paged.tab.HidePage(paged.pages[3]);
        paged.tab.SelectPage(paged.pages[c.from]);
        paged.tab.SelectAdjacentTab(c.step);
        paged.ExpectCurrent(c.expected);
    }
}

TEST(TabControl, SelectIndexRefusesPagesWithoutATab)
{
    PagedTab paged(4);
    paged.tab.HidePage(paged.pages[2]);
    EXPECT_TRUE(paged.tab.SelectIndex(3));
    paged.ExpectCurrent(3);
    EXPECT_EQ(paged.tab.CurrentIndex(), 3);
    for (const int refused : {2, -1, 4})
        EXPECT_FALSE(paged.tab.SelectIndex(refused)) << refused;
    paged.ExpectCurrent(3);
}

// A page 200 x 1000 in a tab control that shows 300 pixels of its height.
class TallPage : public testing::Test {
protected:
    PagedTab paged{std::vector<QSize>{{200, 1000}}};
    QWidget& page = *paged.pages[0];
    CMfcCtrlTabWnd& host = paged.tab.ScrollHost();
    QScrollBar& bar = *host.VerticalBar();

    void SetUp() override
    {
        paged.tab.resize(paged.tab.NeededSize() - QSize(0, 700));
        ASSERT_EQ(host.ClientArea()->size(), QSize(200, 300));
    }

    bool Wheel(QWidget& target, int delta)
    {
        const QPointF where(10, 10);
        QWheelEvent event(where, where, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(&target, &event);
        return event.isAccepted();
    }
};

TEST_F(TallPage, ScrollBarCoversThePageAndMovesItByLinesPagesAndThumb)
{
    EXPECT_TRUE(bar.isEnabled());
    EXPECT_FALSE(host.HorizontalBar()->isEnabled());
    EXPECT_EQ(bar.minimum(), 0);
    EXPECT_EQ(bar.pageStep(), 300);
    EXPECT_EQ(bar.maximum() + bar.pageStep(), 1000);

    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(page.geometry(), QRect(0, -60, 200, 1000));
    bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(page.y(), -360);
    bar.setSliderPosition(650);
    EXPECT_EQ(page.y(), -650);
    // Jumps to either end are not among the host's scroll commands.
    bar.triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(page.y(), -650);
    EXPECT_EQ(bar.value(), 650);
    bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(page.geometry().bottom() + 1, 300);
    EXPECT_EQ(bar.value(), 700);
}

TEST_F(TallPage, WheelStepsSixtyPixelsPerNotch)
{
    QApplication::setWheelScrollLines(3);
    bar.setSliderPosition(300);
    EXPECT_TRUE(Wheel(host, 240));
    EXPECT_EQ(page.y(), -180);
    EXPECT_TRUE(Wheel(host, -120));
    EXPECT_EQ(page.y(), -240);
    EXPECT_EQ(bar.value(), 240);
    // A sideways tilt is left to others.
    EXPECT_FALSE(Wheel(host, 0));
    EXPECT_EQ(page.y(), -240);
    // Over the bar the notch makes the same step, not the bar's own three lines.
    EXPECT_TRUE(Wheel(bar, -120));
    EXPECT_EQ(page.y(), -300);
}

TEST_F(TallPage, EnlargingTheHostKeepsThePositionProportional)
{
    bar.setSliderPosition(150);
    paged.tab.resize(paged.tab.size() + QSize(0, 100));
    EXPECT_EQ(page.y(), -200);

    bar.setSliderPosition(bar.maximum());
    paged.tab.resize(paged.tab.size() + QSize(0, 100));
    EXPECT_EQ(page.y(), -(1000 - 500 - 1));
    EXPECT_EQ(bar.value(), 499);
}

TEST_F(TallPage, PageThatFitsLeavesBarsDisabledAndTheWheelAlone)
{
    bar.setSliderPosition(400);
    paged.tab.resize(paged.tab.NeededSize() + QSize(50, 50));
    EXPECT_FALSE(bar.isEnabled());
    EXPECT_FALSE(host.HorizontalBar()->isEnabled());
    EXPECT_FALSE(Wheel(host, -120));
    EXPECT_EQ(page.geometry(), QRect(QPoint(0, 0), host.ClientArea()->size()));
    EXPECT_EQ(host.ClientArea()->size(), QSize(250, 1050));
}

TEST(FormView, FitParentSplitterSizesTheFirstPaneToThePages)
{
    struct Case {
        Qt::Orientation orientation;
        int reserve;
        bool shownFirst;
    };
    const Case cases[] = {
        {Qt::Horizontal, 0, true}, {Qt::Horizontal, 100, true}, {Qt::Vertical, 0, true},
        {Qt::Vertical, 100, true}, {Qt::Vertical, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "orientation " << c.orientation << " reserve " << c.reserve);
        QSplitter splitter(c.orientation);
        splitter.resize(1000, 800);
        auto* view = new CMfcCtrlTabFormView;
        splitter.addWidget(view);
        splitter.addWidget(new QWidget);
        for (const QSize size : {QSize(300, 200), QSize(250, 400)}) {
            auto* page = new QWidget;
            page->resize(size);
            view->TabControl().AddPage(page, "page");
        }
        if (c.shownFirst)
            splitter.show();

        view->FitParentSplitter(c.reserve);
        splitter.show();

        const QSize needed = view->TabControl().NeededSize();
        const bool across = c.orientation == Qt::Horizontal;
        const int expected = across ? needed.width() : c.reserve != 0 ? 800 - c.reserve : needed.height();
        EXPECT_EQ(splitter.sizes().at(0), expected);
        EXPECT_EQ(view->TabControl().geometry(), view->rect());
    }
}

TEST(FormView, FitParentSplitterLeavesTheSecondPaneItsMinimum)
{
    QSplitter splitter(Qt::Horizontal);
    splitter.resize(600, 400);
    auto* view = new CMfcCtrlTabFormView;
    auto* page = new QWidget;
    page->resize(500, 200);
    view->TabControl().AddPage(page, "page");
    auto* second = new QWidget;
    second->setMinimumWidth(250);
    splitter.addWidget(view);
    splitter.addWidget(second);
    splitter.show();

    view->FitParentSplitter(0);
    EXPECT_EQ(splitter.sizes().at(0), 600 - splitter.handleWidth() - 250);
    EXPECT_EQ(splitter.sizes().at(1), 250);
}

}  // namespace
