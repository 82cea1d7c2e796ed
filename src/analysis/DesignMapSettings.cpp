#include "analysis/DesignMapSettings.h"

#include "calc/DesignSteps.h"

namespace qxr {

void ApplyDesignMapSettings(CDesignModel& m)
{
    const int32_t mode = m.Mode();
    if (mode == CTop::ANALOG || mode == CTop::DIGITAL) {
        Set(m.F__MAP_VHI, 2 * Read(m.f__LINE) / 5);
        Set(m.F__MAP_ILO, Read(m.f__S) / 100);
        Set(m.F__MAP_IHI, Read(m.f__S) / 5);
        Set(m.V__STEP_MIN, 0.9 * Read(m.V__OUT));
    }
    for (CSymbol* setting : {&m.F__MAP_VLO, &m.F__MAP_VHI, &m.F__MAP_ILO, &m.F__MAP_IHI, &m.PM__MAP_LO, &m.PM__MAP_HI,
                             &m.N__MAP_FX, &m.N__MAP_PM, &m.PM__WORST_MIN, &m.M__S_MAX, &m.H3__MAX, &m.V__STEP_MIN})
        Read(*setting);
}

}  // namespace qxr
