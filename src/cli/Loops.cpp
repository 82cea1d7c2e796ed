#include "cli/Loops.h"

namespace qxr::cli {

LoopView ViewOf(const CDesignModel& m, Loop loop)
{
    if (loop == Loop::Voltage)
        return {{&m.freqV, &m.plantGainV, &m.plantPhaseV, &m.compGainV, &m.compPhaseV, &m.loopGainV, &m.loopPhaseV},
                m.crossIdxV,
                m.phaseCrossIdxV,
                m.fxV,
                m.slopeV,
                m.gainMarginV,
                m.phaseMarginV};
    return {{&m.freqI, &m.plantGainI, &m.plantPhaseI, &m.compGainI, &m.compPhaseI, &m.loopGainI, &m.loopPhaseI},
            m.crossIdxI,
            m.phaseCrossIdxI,
            m.fxI,
            m.slopeI,
            m.gainMarginI,
            m.phaseMarginI};
}

}  // namespace qxr::cli
