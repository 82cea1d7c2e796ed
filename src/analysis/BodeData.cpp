#include "analysis/ControlLoops.h"
#include "calc/DesignConstants.h"
#include "calc/TransferFunctions.h"
#include "model/DesignModel.h"

using namespace qxr;

namespace {

// The sampling lag of a loop: none for the analog loops and the voltage loop.
struct SamplingLag {
    bool digital;
    double fSamp;
    double tD;

    double operator()(double w) const { return digital ? SamplingDelay(w, fSamp, tD) : 0.0; }
};

// One loop's six arrays over its grid, rebuilt part by part: the grid, the
// phases and the gains each only when their inputs changed since the last
// pass. The arrays keep their capacity from one pass to the next.
struct BodeSweep {
    BodeSweep(CDesignModel& model, ControlLoop loop, BodeSweepInputs& last)
        : freq(BodeSeriesOf(model, loop, kFreq)),
          plantGain(BodeSeriesOf(model, loop, kPlantGain)),
          plantPhase(BodeSeriesOf(model, loop, kPlantPhase)),
          compGain(BodeSeriesOf(model, loop, kCompGain)),
          compPhase(BodeSeriesOf(model, loop, kCompPhase)),
          loopGain(BodeSeriesOf(model, loop, kLoopGain)),
          loopPhase(BodeSeriesOf(model, loop, kLoopPhase)),
          last(last)
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

    template <class Plant>
    void Build(FrequencyRange range, double fx, const Plant& plant, const Compensator& c, const SamplingLag& lag)
    {
        const double fa = range.start;
        const double fb = range.stop;
        if (!HoldsFullGrid())
            last.Forget();
        const bool gridChanged = last.grid.Changed({fa, fb, fx});
        if (gridChanged)
            BuildGrid(fa, fb, fx);

        const bool lagChanged =
            last.phases.Changed({fa, fb, fx, c.wz1, c.wp1, lag.digital ? 1.0 : 0.0, lag.fSamp, lag.tD});
        if (gridChanged || lagChanged)
            FillPhases(c, lag);

        const auto p = plant.Parameters();
        const bool gainChanged = last.gains.Changed({fa, fb, fx, c.wp0, c.wz1, c.wp1, p[0], p[1], p[2], p[3], p[4]});
        if (gridChanged || gainChanged)
            FillGains(plant, c);
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
    void FillPhases(const Compensator& c, const SamplingLag& lag)
    {
        plantPhase.assign(freq.size(), -90.0);
        compPhase.resize(freq.size());
        loopPhase.resize(freq.size());
        last.magnitudeRatio.resize(freq.size());
        for (std::size_t k = 0; k < freq.size(); ++k) {
            const double w = last.angular[k];
            const PhaseTerms phase(c, w);
            compPhase[k] = phase.CompensatorDeg();
            loopPhase[k] = phase.LoopDeg(lag(w));
            last.magnitudeRatio[k] = c.MagnitudeRatio(w);
        }
    }

    // The loop gain is the sum of the plant and compensator gains in dB.
    template <class Plant>
    void FillGains(const Plant& plant, const Compensator& c)
    {
        plantGain.resize(freq.size());
        compGain.resize(freq.size());
        loopGain.resize(freq.size());
        for (std::size_t k = 0; k < freq.size(); ++k) {
            const double w = last.angular[k];
            plantGain[k] = plant.GainDb(w);
            compGain[k] = c.GainDbFromRatio(last.magnitudeRatio[k], w);
            loopGain[k] = plantGain[k] + compGain[k];
        }
    }
};

}  // namespace

void CDesignModel::BuildBodeData()
{
    constexpr ControlLoop kVoltage = ControlLoop::Voltage;
    BodeSweep(*this, kVoltage, sweptV)
        .Build(BodeRange(*this, kVoltage), RequiredCrossover(*this, kVoltage), ReadVoltagePlant(),
               ReadCompensator(kVoltageCompensator), SamplingLag{false, 0.0, 0.0});

    constexpr ControlLoop kCurrent = ControlLoop::Current;
    const bool digital = Mode() == CTop::DIGITAL;
    const SamplingLag lag{digital, digital ? Read(F__SAMP) : 0.0, digital ? Read(T__D) : 0.0};
    BodeSweep(*this, kCurrent, sweptI)
        .Build(BodeRange(*this, kCurrent), RequiredCrossover(*this, kCurrent), ReadCurrentPlant(),
               ReadCompensator(kCurrentCompensator), lag);
}
