#include "pages/DesignPageList.h"

#include <QCoreApplication>

#include "model/DesignModel.h"
#include "model/Enumerations.h"
#include "pages/PageTemplate.h"

const std::array<DesignPageInfo, 13> kDesignPages{{
    {318, QT_TRANSLATE_NOOP("CQXRViewUser", "Design Parms"), DesignPageInfo::kEveryMode},
    {321, QT_TRANSLATE_NOOP("CQXRViewUser", "Power Stage"), DesignPageInfo::kEveryMode},
    {322, QT_TRANSLATE_NOOP("CQXRViewUser", "Current Sense"), DesignPageInfo::kEveryMode},
    {324, QT_TRANSLATE_NOOP("CQXRViewUser", "Multiplier"), CTop::ANALOG},
    {332, QT_TRANSLATE_NOOP("CQXRViewUser", "Multiplier"), CTop::DIGITAL},
    {325, QT_TRANSLATE_NOOP("CQXRViewUser", "Voltage Loop"), CTop::ANALOG},
    {333, QT_TRANSLATE_NOOP("CQXRViewUser", "Voltage Loop"), CTop::DIGITAL},
    {326, QT_TRANSLATE_NOOP("CQXRViewUser", "Current Loop"), CTop::ANALOG},
    {334, QT_TRANSLATE_NOOP("CQXRViewUser", "Current Loop"), CTop::DIGITAL},
    {327, QT_TRANSLATE_NOOP("CQXRViewUser", "Start Up"), CTop::ANALOG},
    {329, QT_TRANSLATE_NOOP("CQXRViewUser", "Comp Sel"), CTop::ANALOG},
    {336, QT_TRANSLATE_NOOP("CQXRViewUser", "Robustness"), DesignPageInfo::kEveryMode},
    {338, QT_TRANSLATE_NOOP("CQXRViewUser", "Parts"), CTop::ANALOG},
}};

QString DesignPageTitle(const DesignPageInfo& page)
{
    return QCoreApplication::translate("CQXRViewUser", page.title);
}

bool ShowsForMode(const DesignPageInfo& page, CDesignModel& model)
{
    return page.mode == DesignPageInfo::kEveryMode || model.Read(model.ad) == page.mode;
}

std::vector<Declaration> PageDeclarations(int templateId)
{
    std::vector<Declaration> declarations;
    const std::optional<PageTemplate> layout = LoadPageTemplate(templateId);
    if (!layout)
        return declarations;
    for (const TemplateControl& control : layout->controls) {
        Declaration declaration = ParseCaption(control.text);
        if (declaration.kind != Declaration::Kind::None)
            declarations.push_back(std::move(declaration));
    }
    return declarations;
}
