#include "calc/LoopModel.h"

#include <cmath>

namespace qxr {

IntegratingPlant VoltagePlantOf(double pOut, double efficiency, double vOut, double deltaVAout, double cOut)
{
    return {pOut / efficiency, vOut, deltaVAout, cOut};
}

IntegratingPlant CurrentPlantOf(double rSense, double vOut, double inductance, double vRamp)
{
    return {rSense * vOut, inductance, vRamp, 1.0};
}

double LoopModel::GainDb(double w) const
{
    return 20 * std::log10(plant.Constant() / w) + compensator.GainDb(w);
}

double LoopModel::PhaseDeg(double w) const
{
    return PhaseTerms(compensator, w).LoopDeg(SamplingLag(w));
}

double LoopModel::PhaseSlopeDegPerRad(double w) const
{
    const double wz = compensator.wz1;
    const double wp = compensator.wp1;
    const double lag = SamplingLag(1.0);  // the lag grows linearly with w
    return (wz / (wz * wz + w * w) - wp / (wp * wp + w * w) - lag) * kRadToDeg;
}

double LoopModel::SlopeDbPerDecade(double w) const
{
    return -20 + compensator.GainSlopeDbPerDecade(w);
}

FrequencyRange BodeRange(CDesignModel& model, ControlLoop loop)
{
    if (loop == ControlLoop::Voltage)
        return {1, 1000};
    return {100, model.Read(model.f__S)};
}

double RequiredCrossover(CDesignModel& model, ControlLoop loop)
{
    return model.Read(loop == ControlLoop::Voltage ? model.F__X_VLOOP : model.F__X_ILOOP);
}

namespace {

Compensator PlacedCompensator(CDesignModel& model, std::size_t first)
{
    const double fcp0 = model.Read(*model.compSymbols[first]);
    const double fcp1 = model.Read(*model.compSymbols[first + 1]);
    const double fcz1 = model.Read(*model.compSymbols[first + 2]);
    return Compensator(fcp0, fcp1, fcz1);
}

}  // namespace

LoopModel LoopModelOf(CDesignModel& model, ControlLoop loop)
{
    CDesignModel& m = model;
    if (loop == ControlLoop::Voltage) {
        return {VoltagePlantOf(m.Read(m.P__OUT), m.Read(m.E__ff), m.Read(m.V__OUT), m.Read(m.DeltaV__AOUT),
                               m.Read(m.C__OUT)),
                PlacedCompensator(m, 0),
                false,
                0.0,
                0.0,
                BodeRange(m, loop)};
    }
    LoopModel current{CurrentPlantOf(m.Read(m.R__SENSE), m.Read(m.V__OUT), m.Read(m.L__MIN), m.Read(m.V__RAMP)),
                      PlacedCompensator(m, 3),
                      false,
                      0.0,
                      0.0,
                      BodeRange(m, loop)};
    if (m.Mode() == CTop::DIGITAL) {
        current.sampled = true;
        current.fSamp = m.Read(m.F__SAMP);
        current.tD = m.Read(m.T__D);
    }
    return current;
}

}  // namespace qxr
