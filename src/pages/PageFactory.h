#pragma once

#include <memory>

#include <QString>

#include "present/PageList.h"

class CDialogTab;
class CQXRDoc;

// The page of the list's entry, built from its template, with its tab
// title; not for the Compare kind, which has no template.
std::unique_ptr<CDialogTab> CreatePage(const qxr::PageInfo& page, CQXRDoc& document);
QString PageTitle(const qxr::PageInfo& page);
