#pragma once

#include <array>
#include <vector>

#include <QString>

#include "pages/PageLayout.h"

class CDesignModel;

// The design pages in the order of their tabs: template, tab title and the
// Mode the page belongs to. The design view and the report both follow it.
struct DesignPageInfo {
    static constexpr int kEveryMode = -1;

    int templateId;
    const char* title;  // untranslated
    int mode;           // a CTop value, or kEveryMode
};
extern const std::array<DesignPageInfo, 13> kDesignPages;

// The page's tab title, translated.
QString DesignPageTitle(const DesignPageInfo& page);
// Whether the page's tab shows for the design's Mode; reads `ad` in force.
bool ShowsForMode(const DesignPageInfo& page, CDesignModel& model);

// The captions of a page's template that declare headers and rows, in
// template order; nothing when the template is missing.
std::vector<Declaration> PageDeclarations(int templateId);
