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

    switch (Mode()) {
    case CTop::ANALOG:
        ApplyModeDefaults(1.5, 60.0);
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
