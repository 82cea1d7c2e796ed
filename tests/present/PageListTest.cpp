#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/Enumerations.h"
#include "present/PageList.h"
#include "present/PageTemplate.h"

namespace {

using namespace qxr;

std::vector<std::string> Titles(PageView view, double mode)
{
    std::vector<std::string> titles;
    for (const PageInfo* page : PagesOf(view)) {
        if (ShowsForMode(*page, mode))
            titles.push_back(page->title);
    }
    return titles;
}

TEST(PageList, TabsOfEachModeInOrder)
{
    using Titles_ = std::vector<std::string>;
    EXPECT_EQ(Titles(PageView::Design, CTop::ANALOG),
              (Titles_{"Design Parms", "Power Stage", "Current Sense", "Multiplier", "Voltage Loop", "Current Loop",
                       "Start Up", "Comp Sel", "Robustness", "Parts", "Time Domain"}));
    EXPECT_EQ(Titles(PageView::Design, CTop::DIGITAL),
              (Titles_{"Design Parms", "Power Stage", "Current Sense", "Multiplier", "Voltage Loop", "Current Loop",
                       "Robustness", "Time Domain"}));
    EXPECT_EQ(Titles(PageView::Design, 311.5),
              (Titles_{"Design Parms", "Power Stage", "Current Sense", "Robustness", "Time Domain"}))
        << "a Mode is compared exactly";
    EXPECT_EQ(Titles(PageView::Review, CTop::DIGITAL),
              (Titles_{"Voltage Freq Response", "Current Freq Response", "Robustness", "Time Domain",
                       "Voltage Design Map", "Current Design Map", "Compare"}));
    EXPECT_EQ(Titles(PageView::Review, CTop::ANALOG).size(), 8u);
}

// Pages without a twin change first, so a hidden current page gives way to
// the nearest earlier page still shown.
TEST(PageList, ModePagesChangeWithoutTwinsFirst)
{
    EXPECT_EQ(ModePagesInVisibilityOrder(PageView::Design), (std::vector<std::size_t>{9, 10, 12, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(ModePagesInVisibilityOrder(PageView::Review), (std::vector<std::size_t>{3}));
}

TEST(PageList, EveryTemplateLoads)
{
    for (const PageInfo& page : kPages) {
        if (page.kind == PageKind::Compare)
            EXPECT_EQ(page.templateId, 0);
        else
            EXPECT_TRUE(LoadPageTemplate(page.templateId)) << page.title;
    }
}

}  // namespace
