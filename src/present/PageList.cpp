#include "present/PageList.h"

#include <algorithm>
#include <cstring>

#include "model/Enumerations.h"

namespace qxr {

namespace {

constexpr int kEvery = PageInfo::kEveryMode;
constexpr PageView kDesign = PageView::Design;
constexpr PageView kReview = PageView::Review;

bool HasTwin(const PageInfo& page, const std::vector<const PageInfo*>& pages)
{
    return std::any_of(pages.begin(), pages.end(), [&page](const PageInfo* other) {
        return other != &page && other->mode != kEvery && other->mode != page.mode &&
               std::strcmp(other->title, page.title) == 0;
    });
}

}  // namespace

const std::array<PageInfo, 22> kPages{{
    {kDesign, PageKind::DesignParameters, 318, "Design Parms", kEvery},
    {kDesign, PageKind::Rows, 321, "Power Stage", kEvery},
    {kDesign, PageKind::Rows, 322, "Current Sense", kEvery},
    {kDesign, PageKind::Rows, 324, "Multiplier", CTop::ANALOG},
    {kDesign, PageKind::MultiplierDigital, 332, "Multiplier", CTop::DIGITAL},
    {kDesign, PageKind::Rows, 325, "Voltage Loop", CTop::ANALOG},
    {kDesign, PageKind::VoltageLoopDigital, 333, "Voltage Loop", CTop::DIGITAL},
    {kDesign, PageKind::Rows, 326, "Current Loop", CTop::ANALOG},
    {kDesign, PageKind::CurrentLoopDigital, 334, "Current Loop", CTop::DIGITAL},
    {kDesign, PageKind::Rows, 327, "Start Up", CTop::ANALOG},
    {kDesign, PageKind::Rows, 329, "Comp Sel", CTop::ANALOG},
    {kDesign, PageKind::Robustness, 336, "Robustness", kEvery},
    {kDesign, PageKind::Parts, 338, "Parts", CTop::ANALOG},
    {kDesign, PageKind::Rows, 339, "Time Domain", kEvery},
    {kReview, PageKind::VoltageResponse, 331, "Voltage Freq Response", kEvery},
    {kReview, PageKind::CurrentResponse, 331, "Current Freq Response", kEvery},
    {kReview, PageKind::SweepHistograms, 337, "Robustness", kEvery},
    {kReview, PageKind::Schematic, 335, "Schematic", CTop::ANALOG},
    {kReview, PageKind::TimeDomain, 340, "Time Domain", kEvery},
    {kReview, PageKind::VoltageDesignMap, 341, "Voltage Design Map", kEvery},
    {kReview, PageKind::CurrentDesignMap, 341, "Current Design Map", kEvery},
    {kReview, PageKind::Compare, 0, "Compare", kEvery},
}};

std::vector<const PageInfo*> PagesOf(PageView view)
{
    std::vector<const PageInfo*> pages;
    for (const PageInfo& page : kPages) {
        if (page.view == view)
            pages.push_back(&page);
    }
    return pages;
}

bool ShowsForMode(const PageInfo& page, double mode)
{
    return page.mode == kEvery || page.mode == mode;
}

const char* TitleContext(const PageInfo& page)
{
    return page.view == kDesign ? "CQXRViewUser" : "CQXRViewReview";
}

std::vector<std::size_t> ModePagesInVisibilityOrder(PageView view)
{
    const std::vector<const PageInfo*> pages = PagesOf(view);
    std::vector<std::size_t> order;
    for (bool twins : {false, true}) {
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (pages[i]->mode != kEvery && HasTwin(*pages[i], pages) == twins)
                order.push_back(i);
        }
    }
    return order;
}

}  // namespace qxr
