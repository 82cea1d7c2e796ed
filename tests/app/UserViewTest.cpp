#include <QSplitter>

#include "AppFixture.h"
#include "analysis/Recalculate.h"
#include "app/TabViews.h"
#include "doc/UpdateHints.h"
#include "pages/SymbolControls.h"

namespace {

const QStringList kAnalogTabs{"Design Parms", "Power Stage",  "Current Sense", "Multiplier",
                              "Voltage Loop", "Current Loop", "Start Up",      "Comp Sel",
                              "Robustness",   "Parts",        "Time Domain"};
const QStringList kDigitalTabs{"Design Parms", "Power Stage",  "Current Sense", "Multiplier",
                               "Voltage Loop", "Current Loop", "Robustness",    "Time Domain"};

class UserView : public AppFixture {
protected:
    CQXRViewUser& View() { return *Frame().UserView(); }
    CMfcCtrlTab& Tabs() { return View().TabControl(); }
    CDialogTab* Page(std::size_t number) { return View().Pages()[number - 1]; }

    // The Mode chosen on the design-parameters page, as the user does it.
    void ChooseMode(const QString& name)
    {
        CEditSymCombo* combo = nullptr;
        for (const CDialogTabRow& row : Page(1)->Rows()) {
            if (row.symbolName == "ad")
                combo = row.combo;
        }
        ASSERT_NE(combo, nullptr);
        const int index = combo->findText(name);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        QCoreApplication::processEvents();
    }
};

TEST_F(UserView, TabsFollowTheControllerKind)
{
    EXPECT_EQ(Tabs().TabTitles(), kAnalogTabs);
    EXPECT_EQ(Tabs().CurrentPage(), Page(1));

    ChooseMode("DIGITAL");
    EXPECT_EQ(Document().model.ad.Value(), 314);
    EXPECT_EQ(Tabs().TabTitles(), kDigitalTabs);
    ChooseMode("ANALOG");
    EXPECT_EQ(Tabs().TabTitles(), kAnalogTabs);

    Document().model.ad.SetUser(500);  // neither kind: only the common pages
    Document().UpdateAllViews(nullptr, HINT_INFO_TEXT);
    EXPECT_EQ(Tabs().TabTitles(),
              (QStringList{"Design Parms", "Power Stage", "Current Sense", "Robustness", "Time Domain"}));
}

TEST_F(UserView, HiddenCurrentPageGivesWayToTheNearestEarlierOne)
{
    struct Case {
        std::size_t current;  // page number before the switch
        const char* switchTo;
        std::size_t expected;
    };
    const Case cases[] = {
        {4, "DIGITAL", 3},   // analog Multiplier -> Current Sense
        {10, "DIGITAL", 7},  // Start Up -> analog Current Loop, which then hides too -> digital Voltage Loop
        {2, "DIGITAL", 2},
    };
    for (const Case& c : cases) {
        ChooseMode("ANALOG");
        Tabs().SelectPage(Page(c.current));
        ChooseMode(c.switchTo);
        EXPECT_EQ(Tabs().CurrentPage(), Page(c.expected)) << "from page " << c.current;
    }
    // Digital Current Loop current, then back to analog: page 8 is shown before page 9 hides.
    ChooseMode("DIGITAL");
    Tabs().SelectPage(Page(9));
    ChooseMode("ANALOG");
    EXPECT_EQ(Tabs().CurrentPage(), Page(8));
}

// How the width is shared at each screen size is the window layout's test; here
// only that neither side of the splitter is squeezed to nothing.
TEST_F(UserView, SplitterLeavesEveryViewItsRoom)
{
    EXPECT_GT(Frame().OuterSplitter()->sizes().at(0), 0);
    EXPECT_GT(Frame().OuterSplitter()->sizes().at(1), 0);
}

TEST_F(UserView, EveryPageIsRefreshedByAnEdit)
{
    Document().model.V__IN_MIN.SetUser(100);
    qxr::Recalculate(Document().model);
    Document().UpdateAllViews(nullptr, HINT_VALUES);
    for (const CDialogTabRow& row : Page(2)->Rows()) {
        if (row.symbolName == "D__MAX") {
            EXPECT_EQ(row.valueEdit->text(), QString::asprintf("%.3f", Document().model.D__MAX.Value()));
        }
    }
}

}  // namespace
