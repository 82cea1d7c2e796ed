#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTabBar>
#include <QTemporaryDir>

#include "AppFixture.h"
#include "app/TabViews.h"
#include "app/WindowLayout.h"

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
        Frame().UserView()->FitParentSplitter(0);
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

TEST_F(MainWindowLayout, PagesPaneShowsTheWholeTabStripWhenTheWindowAllows)
{
    Show({1600, 1000});
    const QTabBar& strip = *UserTabs().findChild<QTabBar*>();
    ASSERT_EQ(strip.count(), 10);
    EXPECT_EQ(strip.tabRect(0).left(), 0);
    EXPECT_LE(strip.tabRect(strip.count() - 1).right(), strip.width() - 1);
    EXPECT_GE(Frame().ReviewView()->width(), Frame().ReviewView()->minimumWidth());
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
        {Qt::Key_Backtab, ctrl | Qt::ShiftModifier, false, 12},  // wraps to Parts
        {Qt::Key_PageUp, ctrl, false, 12},
        {Qt::Key_Tab, ctrl, true, 1},
        {Qt::Key_PageUp, ctrl, true, 3},  // the schematic, shown for the analog default
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
