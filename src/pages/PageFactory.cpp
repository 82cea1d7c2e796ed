#include "pages/PageFactory.h"

#include <QCoreApplication>

#include "pages/DesignMapPage.h"
#include "pages/DesignPages.h"
#include "pages/FreqResponsePages.h"
#include "pages/PartsPage.h"
#include "pages/RobustnessPages.h"
#include "pages/TimeDomainPage.h"

using qxr::PageKind;

namespace {

std::unique_ptr<CDialogTab> PageOfKind(const qxr::PageInfo& page, CQXRDoc& document)
{
    switch (page.kind) {
    case PageKind::DesignParameters:
        return std::make_unique<CTabDesignParameters>(document);
    case PageKind::MultiplierDigital:
        return std::make_unique<CTabMultiplierDigital>(document);
    case PageKind::VoltageLoopDigital:
        return std::make_unique<CTabVoltLoopDigital>(document);
    case PageKind::CurrentLoopDigital:
        return std::make_unique<CTabCurrentLoopDigital>(document);
    case PageKind::Robustness:
        return std::make_unique<CTabRobustness>(document);
    case PageKind::Parts:
        return std::make_unique<CTabParts>(document);
    case PageKind::VoltageResponse:
        return std::make_unique<CTabFreqResponseVoltage>(document);
    case PageKind::CurrentResponse:
        return std::make_unique<CTabFreqResponseCurrent>(document);
    case PageKind::SweepHistograms:
        return std::make_unique<CTabSweepHistograms>(document);
    case PageKind::Schematic:
        return std::make_unique<CTabSchematic>(document);
    case PageKind::TimeDomain:
        return std::make_unique<CTabTimeDomain>(document);
    case PageKind::VoltageDesignMap:
        return std::make_unique<CTabDesignMap>(qxr::ControlLoop::Voltage, document);
    case PageKind::CurrentDesignMap:
        return std::make_unique<CTabDesignMap>(qxr::ControlLoop::Current, document);
    case PageKind::Rows:
    case PageKind::Compare:
        break;
    }
    return std::make_unique<CTabBlank>(page.templateId, document);
}

}  // namespace

std::unique_ptr<CDialogTab> CreatePage(const qxr::PageInfo& page, CQXRDoc& document)
{
    std::unique_ptr<CDialogTab> created = PageOfKind(page, document);
    created->title = PageTitle(page);
    return created;
}

QString PageTitle(const qxr::PageInfo& page)
{
    return QCoreApplication::translate(qxr::TitleContext(page), page.title);
}
