#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Every page of the program, once: the design pages of the user view and the
// pages of the review view, in the order of their tabs, with the template
// each is built from, its tab title and the Mode it belongs to. The views,
// the printed report and qxr-cli all follow this list.
namespace qxr {

enum class PageView { Design, Review };

// What a page does beyond its template; the front end makes a page of each kind.
enum class PageKind {
    Rows,  // a page whose template says everything
    DesignParameters,
    MultiplierDigital,
    VoltageLoopDigital,
    CurrentLoopDigital,
    Robustness,
    Parts,
    VoltageResponse,
    CurrentResponse,
    SweepHistograms,
    Schematic,
    TimeDomain,
    VoltageDesignMap,
    CurrentDesignMap,
    Compare,  // shown while a second design is compared; it has no template
};

struct PageInfo {
    static constexpr int kEveryMode = -1;

    PageView view;
    PageKind kind;
    int templateId;     // 0: none
    const char* title;  // untranslated, in the context of its view ("CQXRViewUser", "CQXRViewReview")
    int mode;           // a CTop value, or kEveryMode
};

extern const std::array<PageInfo, 22> kPages;

// The pages of a view in tab order.
std::vector<const PageInfo*> PagesOf(PageView view);
// Whether a page's tab shows for the Mode `ad` holds, compared exactly.
bool ShowsForMode(const PageInfo& page, double mode);
// The translation context of a page's title.
const char* TitleContext(const PageInfo& page);

// The indexes into PagesOf(view) of the pages that belong to one Mode, in the
// order a view shows and hides them: first those without a twin of the same
// title in the other Mode, then the twins in tab order, so that a hidden
// current page gives way to the nearest earlier page still shown.
std::vector<std::size_t> ModePagesInVisibilityOrder(PageView view);

}  // namespace qxr
