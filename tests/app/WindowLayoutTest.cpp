#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTabBar>
#include <QTemporaryDir>

#include "AppFixture.h"
#include "app/TabViews.h"
#include "app/WindowLayout.h"
#include "pages/FreqResponsePages.h"

namespace {

class MainWindowLayout : public AppFixture {
protected:
    void TearDown() override
    {
        AppFixture::TearDown();
        QSettings().remove("Window");  // later tests start as on a first run
    }

    // Quits as the user does and starts again.
    void Restart()
    {
        ASSERT_TRUE(Frame().close());
        app->ExitInstance();
        AppFixture::SetUp();
    }
    void ActivateWindow()
    {
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    }
    // Lays the window out at size, with the design pages fitted as at start-up.
    void Show(QSize size)
    {
        Frame().resize(size);
        QCoreApplication::processEvents();
        Frame().FitPanes();
        QCoreApplication::processEvents();
    }
    CMfcCtrlTab& UserTabs() { return Frame().UserView()->TabControl(); }
    CMfcCtrlTab& ReviewTabs() { return Frame().ReviewView()->TabControl(); }
};

TEST_F(MainWindowLayout, FirstStartFitsTheScreen)
{
    const QRect available = Frame().screen()->availableGeometry();
    EXPECT_EQ(Frame().size(), WindowLayout::FirstStartSize(*Frame().screen()));
    EXPECT_LE(Frame().width(), available.width());
    EXPECT_LE(Frame().height(), available.height());
}

// The review pane gets its widest page first: the Bode page's Stability and
// Stability Sweep groups are in view whole; the design pages take the rest,
// their strip scrolling where it is narrower than its tabs.
TEST_F(MainWindowLayout, TheReviewPaneHoldsItsWidestPageFirst)
{
    for (const QSize size : {QSize(1366, 768), QSize(1600, 900), QSize(1600, 1000), QSize(1920, 1080)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        Show(size);
        EXPECT_FALSE(ReviewTabs().ScrollHost().HorizontalBar()->isEnabled()) << "the Bode page scrolls sideways";
        const auto& bode = *static_cast<CTabFreqResponse*>(Frame().ReviewView()->Pages()[0]);
        for (int group : {1025, 1057}) {  // Stability, Stability Sweep
            const QWidget* box = bode.FindTemplateControl(CDialogTab::ControlName(group));
            ASSERT_NE(box, nullptr);
            const QRect shown = QRect(box->mapTo(Frame().ReviewView(), QPoint()), box->size());
            EXPECT_TRUE(Frame().ReviewView()->rect().contains(shown)) << group;
        }
        EXPECT_GE(Frame().UserView()->width(), UserTabs().NeededPageSize().width()) << "the design page whole";
    }
}

// On a screen that holds the preferred size, the whole strip and the whole
// Bode page of an analog design fit side by side.
TEST_F(MainWindowLayout, PreferredSizeHoldsTheWholeStripAndTheWholeBodePage)
{
    Show(WindowLayout::kPreferredSize);
    const QTabBar& strip = *UserTabs().findChild<QTabBar*>();
    EXPECT_LE(strip.tabRect(strip.count() - 1).right(), strip.width() - 1);
    EXPECT_FALSE(ReviewTabs().ScrollHost().HorizontalBar()->isEnabled()) << "the Bode page scrolls sideways";
}

TEST_F(MainWindowLayout, SmallWindowKeepsEveryPaneUsableAndScrollsThePages)
{
    for (const QSize size : {QSize(800, 600), QSize(500, 350)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        Show(size);
        for (const QWidget* pane : std::initializer_list<const QWidget*>{Frame().UserView(), Frame().ReviewView()}) {
            EXPECT_GE(pane->width(), pane->minimumWidth());
            EXPECT_GE(pane->height(), pane->minimumHeight());
        }
        EXPECT_TRUE(UserTabs().ScrollHost().HorizontalBar()->isEnabled() ||
                    UserTabs().ScrollHost().VerticalBar()->isEnabled());
    }
}

TEST_F(MainWindowLayout, RestartRestoresGeometrySplitterAndCurrentPages)
{
    Show({760, 640});  // the offscreen screen is 800 pixels square
    Frame().OuterSplitter()->setSizes({380, 380});
    const QList<int> splitterSizes = Frame().OuterSplitter()->sizes();
    UserTabs().SelectPage(Frame().UserView()->Pages()[5]);  // Voltage Loop
    ReviewTabs().SelectPage(Frame().ReviewView()->Pages()[1]);

    Restart();
    EXPECT_EQ(Frame().size(), QSize(760, 640));
    EXPECT_EQ(Frame().OuterSplitter()->sizes(), splitterSizes);
    EXPECT_EQ(UserTabs().CurrentPage(), Frame().UserView()->Pages()[5]);
    EXPECT_EQ(ReviewTabs().CurrentPage(), Frame().ReviewView()->Pages()[1]);
}

TEST_F(MainWindowLayout, GeometryFromALargerScreenIsFittedIntoThisOne)
{
    const QRect available = Frame().screen()->availableGeometry();
    Frame().setGeometry(QRect(available.topLeft() + QPoint(300, 200), available.size() * 2));
    Restart();
    const QRect outer = Frame().frameGeometry();
    EXPECT_TRUE(available.contains(outer))
        << outer.x() << "," << outer.y() << " " << outer.width() << "x" << outer.height() << " in " << available.width()
        << "x" << available.height();
}

TEST_F(MainWindowLayout, TabShortcutsChangeThePageOfTheFocusedView)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool inReview;
        int expected;  // index in the view's page list
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Case cases[] = {
        {Qt::Key_Tab, ctrl, false, 1},
        {Qt::Key_PageDown, ctrl, false, 1},
        {Qt::Key_Backtab, ctrl | Qt::ShiftModifier, false, 13},  // wraps to Time Domain
        {Qt::Key_PageUp, ctrl, false, 13},
        {Qt::Key_Tab, ctrl, true, 1},
        {Qt::Key_PageUp, ctrl, true, 6},  // wraps to Current Design Map, after the schematic of the analog default
    };
    ActivateWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " review " << c.inReview);
        CMfcCtrlTabFormView& view = c.inReview ? static_cast<CMfcCtrlTabFormView&>(*Frame().ReviewView())
                                               : static_cast<CMfcCtrlTabFormView&>(*Frame().UserView());
        view.TabControl().SelectIndex(0);
        view.TabControl().CurrentPage()->setFocus();
        ASSERT_TRUE(view.isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), c.key, c.modifiers);
        EXPECT_EQ(view.TabControl().CurrentIndex(), c.expected);
    }
}

TEST_F(MainWindowLayout, SaveAsAndQuitHaveTheirDesktopShortcuts)
{
    QTemporaryDir folder;
    prompts->savePath = folder.filePath("renamed.qxr");
    ActivateWindow();
    QTest::keyClick(&Frame(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(QFileInfo::exists(prompts->savePath));
    EXPECT_EQ(Document().PathName(), prompts->savePath);

    QTest::keyClick(&Frame(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(Frame().isVisible());
}

}  // namespace
