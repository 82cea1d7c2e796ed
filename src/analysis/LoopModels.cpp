#include <cstddef>

#include "calc/TransferFunctions.h"
#include "model/DesignModel.h"

using namespace qxr;

Compensator CDesignModel::ReadCompensator(std::size_t first)
{
    const double fcp0 = Read(*compSymbols[first]);
    const double fcp1 = Read(*compSymbols[first + 1]);
    const double fcz1 = Read(*compSymbols[first + 2]);
    return Compensator(fcp0, fcp1, fcz1);
}

VoltagePlant CDesignModel::ReadVoltagePlant()
{
    return {Read(P__OUT), Read(E__ff), Read(V__OUT), Read(DeltaV__AOUT), Read(C__OUT)};
}

CurrentPlant CDesignModel::ReadCurrentPlant()
{
    return {Read(R__SENSE), Read(V__OUT), Read(L__MIN), Read(V__RAMP)};
}

double CDesignModel::CurrentLoopDelay(double w)
{
    if (Mode() != CTop::DIGITAL)
        return 0.0;
    return SamplingDelay(w, Read(F__SAMP), Read(T__D));
}

double CDesignModel::PlantGainV(double w)
{
    return ReadVoltagePlant().GainDb(w);
}
double CDesignModel::CompGainV(double w)
{
    return ReadCompensator(kVoltageCompensator).GainDb(w);
}
double CDesignModel::LoopGainV(double w)
{
    return PlantGainV(w) + CompGainV(w);
}
double CDesignModel::PlantGainI(double w)
{
    return ReadCurrentPlant().GainDb(w);
}
double CDesignModel::CompGainI(double w)
{
    return ReadCompensator(kCurrentCompensator).GainDb(w);
}
double CDesignModel::LoopGainI(double w)
{
    return PlantGainI(w) + CompGainI(w);
}

double CDesignModel::CompPhaseV(double w)
{
    return PhaseTerms(ReadCompensator(kVoltageCompensator), w).CompensatorDeg();
}

double CDesignModel::CompPhaseI(double w)
{
    return PhaseTerms(ReadCompensator(kCurrentCompensator), w).CompensatorDeg();
}

double CDesignModel::LoopPhaseV(double w)
{
    return PhaseTerms(ReadCompensator(kVoltageCompensator), w).LoopDeg();
}

double CDesignModel::LoopPhaseI(double w)
{
    const PhaseTerms phase(ReadCompensator(kCurrentCompensator), w);
    return phase.LoopDeg(CurrentLoopDelay(w));
}
