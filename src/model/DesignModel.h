#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/SweepInputs.h"
#include "model/Symbol.h"
#include "model/SymbolCatalogue.h"

namespace qxr {
enum class CoefficientSet;
struct TwoPoleTwoZero;
struct Compensator;
struct VoltagePlant;
struct CurrentPlant;
}  // namespace qxr

// The whole state of one design: the 98 catalogue symbols, the design
// messages, the Bode data of both loops and their stability metrics.
// Symbols are embedded by value and the index points into the model itself,
// so a model is neither copied nor moved.
class CDesignModel {
public:
    static constexpr std::size_t kSymbolCount = 98;

    CDesignModel();
    CDesignModel(const CDesignModel&) = delete;
    CDesignModel& operator=(const CDesignModel&) = delete;

    // Returns every symbol to its catalogue state; discards all user entries.
    void LoadDefaults();
    // The symbol whose name equals the argument exactly, or nullptr.
    CSymbol* FindByName(const std::u16string& name);

    // The model's part of a design file: every symbol's record under its name,
    // in catalogue order, then the end marker. Loading takes the records in any
    // order, skips unknown names, lets a later duplicate win and does not
    // recalculate (defined in DesignFile.cpp).
    void Serialize(ArchiveWriter& archive) const;
    void Serialize(ArchiveReader& archive);

    // Brings the whole design up to date from the values in force.
    void Recalculate();
    void DesignAnalog();
    void DesignDigital();

    // Places the poles and zeros of both compensators for the required
    // crossovers and phase margins.
    void SynthesizeCompensators();
    // Reports negative component values of the analog compensators.
    void CheckAnalogCompensators();
    void AppendMessage(const std::string& text);

    // Fills the fourteen Bode arrays on the logarithmic grids of both loops.
    void BuildBodeData();
    void ComputeMetricsV();
    void ComputeMetricsI();

    // Loop models at angular frequency w (rad/s): gains in dB, phase in degrees.
    double PlantGainV(double w);
    double CompGainV(double w);
    double LoopGainV(double w);
    double PlantGainI(double w);
    double CompGainI(double w);
    double LoopGainI(double w);
    double LoopPhaseI(double w);
    // Compensator phases of both loops and the voltage loop's phase.
    double CompPhaseV(double w);
    double CompPhaseI(double w);
    double LoopPhaseV(double w);

#define QXR_DECLARE_SYMBOL(name, description, unit, scale, defaultValue) CSymbol name;
    QXR_PLAIN_SYMBOL_CATALOGUE(QXR_DECLARE_SYMBOL)
#undef QXR_DECLARE_SYMBOL
    CSymbolEnum<CTop> ad;

    std::array<CSymbol*, kSymbolCount> symbols{};
    std::string messages;

    std::vector<double> freqV, freqI;
    std::vector<double> loopGainV, loopPhaseV, plantGainV, plantPhaseV, compGainV, compPhaseV;
    std::vector<double> loopGainI, loopPhaseI, plantGainI, plantPhaseI, compGainI, compPhaseI;

    int32_t crossIdxV = 0;
    int32_t phaseCrossIdxV = 0;
    double fxV, slopeV, gainMarginV, phaseMarginV;
    int32_t crossIdxI = 0;
    int32_t phaseCrossIdxI = 0;
    double fxI, slopeI, gainMarginI, phaseMarginI;

    // v_fcp0, v_fcp1, v_fcz1, i_fcp0, i_fcp1, i_fcz1
    std::array<CSymbol*, 6> compSymbols{};

private:
    // The reading and writing rule of every design equation: both mark the
    // symbol as taking part in the design; a write never replaces a user entry.
    double Read(CSymbol& symbol)
    {
        symbol.inUse = true;
        return symbol.Value();
    }
    void Set(CSymbol& symbol, double value)
    {
        symbol.inUse = true;
        symbol.SetCalc(value);
    }

    // What the Bode arrays of each loop were last built from.
    qxr::BodeSweepInputs sweptV, sweptI;

    static constexpr std::size_t kVoltageCompensator = 0;  // first of its three compSymbols
    static constexpr std::size_t kCurrentCompensator = 3;

    void ApplyModeDefaults(double h3Vff, double pmILoop);
    void DesignPowerStage();
    void DesignFeedForwardCutoff();
    void EstimateHarmonics();
    void DesignMultiplierNetwork();
    void DesignAnalogCompensatorComponents();
    void DesignSupportComponents();
    void SynthesizeVoltageCompensator();
    void SynthesizeCurrentCompensator();
    void DiscretiseCompensators();
    void SetCoefficients(qxr::CoefficientSet set, const qxr::TwoPoleTwoZero& coefficients);

    bool IsDigitalMode();
    double CurrentLoopDelay(double w);
    qxr::Compensator ReadCompensator(std::size_t first);
    qxr::VoltagePlant ReadVoltagePlant();
    qxr::CurrentPlant ReadCurrentPlant();
};
