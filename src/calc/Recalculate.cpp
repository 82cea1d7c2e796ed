#include "calc/Design.h"
#include "calc/DesignSteps.h"

namespace qxr {

namespace {

// Mode-dependent values of two inputs, replaced at every pass until the user enters them.
void ApplyModeDefaults(CDesignModel& m, double h3Vff, double pmILoop)
{
    if (!m.H3__VFF.userSet)
        Set(m.H3__VFF, h3Vff);
    if (!m.PM__ILOOP.userSet)
        Set(m.PM__ILOOP, pmILoop);
}

// The settings of the design maps and of the proposal drawn from them, in use
// whatever the Mode, as the sweep's are. The ends that follow from the design
// (the voltage loop's highest crossover from f__LINE, the current loop's from
// f__S, the load step's least output from V__OUT) are calculated, in the
// ANALOG and DIGITAL Modes, until the user enters them.
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

}  // namespace

std::vector<CSymbol*> SweepSettings(CDesignModel& m, int32_t mode)
{
    std::vector<CSymbol*> settings{&m.P__LOAD_MIN, &m.TOL__L_MIN, &m.TOL__C_OUT, &m.TOL__R_SENSE, &m.TOL__GAIN,
                                   &m.dist__MC,    &m.N__MC,      &m.SEED__MC,   &m.PM__MIN,      &m.GM__MIN};
    if (mode == CTop::ANALOG)
        settings.insert(settings.end(), {&m.TOL__R_COMP, &m.TOL__C_COMP});
    return settings;
}

void CalculateDesign(CDesignModel& m)
{
    for (CSymbol* symbol : m.symbols)
        symbol->inUse = false;
    m.messages.clear();
    m.ad.enumCalc.GetTypeInfo();

    Read(m.ad);  // the Mode takes part in every design
    // No equation reads the nominal input; it stays applicable in both Modes.
    m.V__IN_NORM.inUse = true;
    for (CSymbol* setting : SweepSettings(m, m.Mode()))
        Read(*setting);
    // So do the settings of the time-domain simulation.
    for (CSymbol* setting : {static_cast<CSymbol*>(&m.load__TD), static_cast<CSymbol*>(&m.cls__IEC), &m.P__STEP_FROM,
                             &m.P__STEP_TO, &m.t__SETTLE_MAX})
        Read(*setting);
    ApplyDesignMapSettings(m);

    switch (m.Mode()) {
    case CTop::ANALOG:
        ApplyModeDefaults(m, 1.5, 60.0);
        // Only the analog design has parts to round to a standard series.
        Read(m.ser__R);
        Read(m.ser__C);
        Read(m.DEV__PAIR);
        DesignAnalog(m);
        m.dia__voltage_loop.inUse = true;
        m.dia__current_loop.inUse = true;
        break;
    case CTop::DIGITAL:
        ApplyModeDefaults(m, 0.75, 50.0);
        DesignDigital(m);
        break;
    default:
        break;
    }
}

}  // namespace qxr
