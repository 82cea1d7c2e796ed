#pragma once

#include "model/DesignModel.h"

// The steps of a calculation pass inside this layer. Each reads its operands
// as values in force and writes its results without replacing user entries.
namespace qxr {

inline double Read(CSymbol& symbol)
{
    return ReadInForce(symbol);
}
inline void Set(CSymbol& symbol, double value)
{
    SetResult(symbol, value);
}

// The symbols of each controller kind's design.
void DesignAnalog(CDesignModel& m);
void DesignDigital(CDesignModel& m);

// calc/PowerStage.cpp: common to both kinds.
void DesignPowerStage(CDesignModel& m);
void DesignFeedForwardCutoff(CDesignModel& m);
void EstimateHarmonics(CDesignModel& m);

// calc/CompensatorSynthesis.cpp: places both compensators' poles and zeros for
// the required crossovers and margins; reports negative analog parts.
void SynthesizeCompensators(CDesignModel& m);
void CheckAnalogCompensators(CDesignModel& m);

}  // namespace qxr
