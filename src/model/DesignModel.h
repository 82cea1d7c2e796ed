#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/SweepInputs.h"
#include "model/Symbol.h"
#include "model/SymbolCatalogue.h"

namespace qxr {
enum class CoefficientSet;
struct TwoPoleTwoZero;
struct CoefficientFormat;
struct Compensator;
struct VoltagePlant;
struct CurrentPlant;
}  // namespace qxr

// The user's part of a design, as its file holds it: every symbol's entry
// flag and both values, in the order of CDesignModel::symbols.
struct DesignState {
    struct Entry {
        bool userSet = false;
        double userValue = 0.0;
        double calcValue = 0.0;
        bool operator==(const Entry& other) const;
    };
    std::vector<Entry> entries;
    bool operator==(const DesignState& other) const { return entries == other.entries; }
};

// The whole state of one design: the catalogue symbols, the design
// messages, the Bode data of both loops and their stability metrics.
// Its design steps are defined in the core layer they belong to; the
// declarations below are grouped by the file that defines them.
// Symbols are embedded by value and the index points into the model itself,
// so a model is neither copied nor moved.
class CDesignModel {
public:
    // The symbols up to and including the Mode `ad`; the added ones follow.
    static constexpr std::size_t kFirstAddedSymbol = 98;
#define QXR_COUNT_SYMBOL(type, name, description, unit, scale, defaultValue, min, max) +1
    static constexpr std::size_t kSymbolCount = kFirstAddedSymbol QXR_ADDED_SYMBOL_CATALOGUE(QXR_COUNT_SYMBOL);
#undef QXR_COUNT_SYMBOL

    CDesignModel();
    CDesignModel(const CDesignModel&) = delete;
    CDesignModel& operator=(const CDesignModel&) = delete;

    // --- model/DesignModel.cpp: the catalogue state, look-up, reading, messages

    // Returns every symbol to its catalogue state; discards all user entries.
    void LoadDefaults();
    // The symbol whose name equals the argument exactly, or nullptr.
    CSymbol* FindByName(const std::u16string& name);
    const CSymbol* FindByName(const std::u16string& name) const;

    // The value in force of a symbol, marking it as taking part in the design.
    // Every equation reads this way, and so does every view that shows a value
    // because the design depends on it.
    double Read(CSymbol& symbol)
    {
        symbol.inUse = true;
        return symbol.Value();
    }
    // The Mode the design is calculated for: `ad`'s value in force truncated
    // to a CTop value (see TruncToInt32). Recalculate marks `ad` in use.
    int32_t Mode() const;

    void AppendMessage(const std::string& text);

    // What a design file would hold, and back. Restoring does not recalculate;
    // the caller runs Recalculate, as after loading a file.
    DesignState SaveState() const;
    void RestoreState(const DesignState& state);

    // --- model/DesignFile.cpp
    // The model's part of a design file: every symbol's record under its name,
    // in catalogue order, then the end marker. Loading takes the records in any
    // order, skips unknown names, lets a later duplicate win and does not
    // recalculate.
    void Serialize(ArchiveWriter& archive) const;
    void Serialize(ArchiveReader& archive);

    // --- calc/Recalculate.cpp
    // Brings the whole design up to date from the values in force.
    void Recalculate();

    // --- calc/AnalogDesign.cpp, calc/DigitalDesign.cpp
    void DesignAnalog();
    void DesignDigital();

    // --- calc/CompensatorSynthesis.cpp
    // Places the poles and zeros of both compensators for the required
    // crossovers and phase margins.
    void SynthesizeCompensators();
    // Reports negative component values of the analog compensators.
    void CheckAnalogCompensators();

    // --- analysis/BodeData.cpp, analysis/StabilityMetrics.cpp
    // Fills the fourteen Bode arrays on the logarithmic grids of both loops.
    void BuildBodeData();
    void ComputeMetricsV();
    void ComputeMetricsI();

    // --- analysis/LoopModels.cpp
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

    // --- the state
#define QXR_DECLARE_SYMBOL(name, description, unit, scale, defaultValue) CSymbol name;
    QXR_PLAIN_SYMBOL_CATALOGUE(QXR_DECLARE_SYMBOL)
#undef QXR_DECLARE_SYMBOL
    CSymbolEnum<CTop> ad;
#define QXR_DECLARE_ADDED_SYMBOL(type, name, description, unit, scale, defaultValue, min, max) type name;
    QXR_ADDED_SYMBOL_CATALOGUE(QXR_DECLARE_ADDED_SYMBOL)
#undef QXR_DECLARE_ADDED_SYMBOL

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
    // Writes a result; a write never replaces a user entry.
    void Set(CSymbol& symbol, double value)
    {
        symbol.inUse = true;
        symbol.SetCalc(value);
    }

    // What the Bode arrays of each loop were last built from.
    qxr::BodeSweepInputs sweptV, sweptI;

    static constexpr std::size_t kVoltageCompensator = 0;  // first of its three compSymbols
    static constexpr std::size_t kCurrentCompensator = 3;

    // calc/Recalculate.cpp
    void ApplyModeDefaults(double h3Vff, double pmILoop);
    // calc/PowerStage.cpp
    void DesignPowerStage();
    void DesignFeedForwardCutoff();
    void EstimateHarmonics();
    // calc/AnalogDesign.cpp
    void DesignMultiplierNetwork();
    void DesignAnalogCompensatorComponents();
    void DesignSupportComponents();
    // calc/DigitalDesign.cpp
    void DiscretiseCompensators();
    void SetCoefficients(qxr::CoefficientSet set, const qxr::TwoPoleTwoZero& coefficients);
    void CheckFirmwareCoefficients();
    void CheckQuantisedSet(qxr::CoefficientSet set, const qxr::CoefficientFormat& format);
    // calc/CompensatorSynthesis.cpp
    void SynthesizeVoltageCompensator();
    void SynthesizeCurrentCompensator();
    // analysis/LoopModels.cpp
    double CurrentLoopDelay(double w);
    qxr::Compensator ReadCompensator(std::size_t first);
    qxr::VoltagePlant ReadVoltagePlant();
    qxr::CurrentPlant ReadCurrentPlant();
};
