#include "analysis/BodeData.h"

#include "analysis/ControlLoops.h"
#include "calc/DesignConstants.h"

namespace qxr {

namespace {

// One loop's six arrays over its grid, rebuilt part by part: the grid, the
// phases and the gains each only when their inputs changed since the last
// pass. The arrays keep their capacity from one pass to the next.
struct BodeSweep {
    explicit BodeSweep(LoopData& data)
        : freq(data.series[kFreq]),
          plantGain(data.series[kPlantGain]),
          plantPhase(data.series[kPlantPhase]),
          compGain(data.series[kCompGain]),
          compPhase(data.series[kCompPhase]),
          loopGain(data.series[kLoopGain]),
          loopPhase(data.series[kLoopPhase]),
          last(data.swept)
    {
    }

    std::vector<double>& freq;
    std::vector<double>& plantGain;
    std::vector<double>& plantPhase;
    std::vector<double>& compGain;
    std::vector<double>& compPhase;
    std::vector<double>& loopGain;
    std::vector<double>& loopPhase;
    BodeSweepInputs& last;

    void Build(const LoopModel& loop, double fx)
    {
        const double fa = loop.range.start;
        const double fb = loop.range.stop;
        const Compensator& c = loop.compensator;
        if (!HoldsFullGrid())
            last.Forget();
        const bool gridChanged = last.grid.Changed({fa, fb, fx});
        if (gridChanged)
            BuildGrid(fa, fb, fx);

        const bool lagChanged =
            last.phases.Changed({fa, fb, fx, c.wz1, c.wp1, loop.sampled ? 1.0 : 0.0, loop.fSamp, loop.tD});
        if (gridChanged || lagChanged)
            FillPhases(loop);

        const IntegratingPlant& p = loop.plant;
        const bool gainChanged = last.gains.Changed({fa, fb, fx, c.wp0, c.wz1, c.wp1, p.numerator, p.a, p.b, p.c});
        if (gridChanged || gainChanged)
            FillGains(loop);
    }

    void BuildGrid(double fa, double fb, double fx)
    {
        BuildLogGrid(fa, fb, fx, freq);
        last.angular.resize(freq.size());
        for (std::size_t k = 0; k < freq.size(); ++k)
            last.angular[k] = kTwoPi * freq[k];
    }

    bool HoldsFullGrid() const
    {
        for (const std::vector<double>* values :
             {&freq, &plantGain, &plantPhase, &compGain, &compPhase, &loopGain, &loopPhase}) {
            if (values->size() != kBodeGridPoints)
                return false;
        }
        return true;
    }

    // The compensator and loop phases share their arctangents. The
    // compensator's magnitude ratio has the same inputs, so it is kept for
    // the gains of this and later passes.
    void FillPhases(const LoopModel& loop)
    {
        plantPhase.assign(freq.size(), -90.0);
        compPhase.resize(freq.size());
        loopPhase.resize(freq.size());
        last.magnitudeRatio.resize(freq.size());
        for (std::size_t k = 0; k < freq.size(); ++k) {
            const double w = last.angular[k];
            const PhaseTerms phase(loop.compensator, w);
            compPhase[k] = phase.CompensatorDeg();
            loopPhase[k] = phase.LoopDeg(loop.SamplingLag(w));
            last.magnitudeRatio[k] = loop.compensator.MagnitudeRatio(w);
        }
    }

    // The loop gain is the sum of the plant and compensator gains in dB.
    void FillGains(const LoopModel& loop)
    {
        plantGain.resize(freq.size());
        compGain.resize(freq.size());
        loopGain.resize(freq.size());
        for (std::size_t k = 0; k < freq.size(); ++k) {
            const double w = last.angular[k];
            plantGain[k] = loop.plant.GainDb(w);
            compGain[k] = loop.compensator.GainDbFromRatio(last.magnitudeRatio[k], w);
            loopGain[k] = plantGain[k] + compGain[k];
        }
    }
};

}  // namespace

void BuildBodeData(CDesignModel& model)
{
    for (ControlLoop loop : kControlLoops)
        BodeSweep(model.Loop(loop)).Build(LoopModelOf(model, loop), RequiredCrossover(model, loop));
}

}  // namespace qxr
