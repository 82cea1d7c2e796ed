#include "model/DesignModel.h"

void CDesignModel::Recalculate()
{
    for (CSymbol* symbol : symbols)
        symbol->inUse = false;
    messages.clear();
    ad.enumCalc.GetTypeInfo();

    Read(ad);  // the Mode takes part in every design
    // No equation reads the nominal input; it stays applicable in both Modes.
    V__IN_NORM.inUse = true;
    // The stability-sweep settings apply in both Modes (the compensator parts'
    // tolerances only where the compensators are parts); reading them here lets
    // out-of-range entries show and be logged like any other input.
    for (CSymbol* setting : {&P__LOAD_MIN, &TOL__L_MIN, &TOL__C_OUT, &TOL__R_SENSE, &TOL__GAIN,
                             static_cast<CSymbol*>(&dist__MC), &N__MC, &SEED__MC, &PM__MIN, &GM__MIN})
        Read(*setting);
    // So do the settings of the time-domain simulation.
    for (CSymbol* setting : {static_cast<CSymbol*>(&load__TD), static_cast<CSymbol*>(&cls__IEC), &P__STEP_FROM,
                             &P__STEP_TO, &t__SETTLE_MAX})
        Read(*setting);

    switch (Mode()) {
    case CTop::ANALOG:
        ApplyModeDefaults(1.5, 60.0);
        Read(TOL__R_COMP);
        Read(TOL__C_COMP);
        // Only the analog design has parts to round to a standard series.
        Read(ser__R);
        Read(ser__C);
        Read(DEV__PAIR);
        DesignAnalog();
        dia__voltage_loop.inUse = true;
        dia__current_loop.inUse = true;
        break;
    case CTop::DIGITAL:
        ApplyModeDefaults(0.75, 50.0);
        DesignDigital();
        break;
    default:
        break;
    }
}

// Mode-dependent values of two inputs, replaced at every pass until the user enters them.
void CDesignModel::ApplyModeDefaults(double h3Vff, double pmILoop)
{
    if (!H3__VFF.userSet)
        Set(H3__VFF, h3Vff);
    if (!PM__ILOOP.userSet)
        Set(PM__ILOOP, pmILoop);
}
