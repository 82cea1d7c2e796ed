#pragma once

#include <limits>
#include <optional>

// The catalogue of plain design symbols, in catalogue order (index 0..96);
// the Mode symbol `ad` (index 97) follows them and is defined in DesignModel.
// Each row: X(name, description, unit, scale, default). Values are stored in
// SI units; the unit is what the display shows after dividing by scale.
// A default of std::nullopt marks a calculated symbol, not a specification input.
// clang-format off
#define QXR_PLAIN_SYMBOL_CATALOGUE(X) \
    X(V__IN_NORM, u"Universal Normal RMS Input Voltage", u"V", 1, 240) \
    X(V__IN_MIN, u"Universal Minimum RMS Input Voltage", u"V", 1, 85) \
    X(V__IN_MAX, u"Universal Maximum RMS Input Voltage", u"V", 1, 265) \
    X(f__LINE, u"Line Frequency", u"Hz", 1, 50) \
    X(P__OUT, u"Maximum Output Power", u"W", 1, 150) \
    X(f__S, u"Switching Frequency", u"kHz", 1000, 200000) \
    X(V__OUT, u"Output Voltage", u"V", 1, 385) \
    X(t__H, u"Hold Up Time", u"ms", 0.001, 0.02) \
    X(V__OUT_MIN, u"Minimum Vout After 1 th - Usually taken as 75 % of nominal Vout", u"V", 1, 335) \
    X(D__MAX, u"Duty Cycle at the Peak of Low Line Input - Max current ripple occurs at peak of low line - so we need the duty at this point to calculate L", u"", 1, std::nullopt) \
    X(PERC_I__L_RIPPLE, u"±% Ripple Current with Respect to the Peak Current", u"%", 1, 15) \
    X(I__L_RIPPLE_PK_PK, u"Peak to Peak Inductor Ripple Current", u"A", 1, std::nullopt) \
    X(L__MIN, u"Inductance Value of Boost Inductors", u"µH", 1e-6, std::nullopt) \
    X(C__OUT, u"Output Capacitance", u"mF", 0.001, std::nullopt) \
    X(V__RIPPLE_PK_PK, u"Peak to Peak Output Ripple Voltage", u"V", 1, std::nullopt) \
    X(V__RIPPLE_PK, u"Peak Output Ripple Voltage", u"V", 1, std::nullopt) \
    X(I__COUT_PK, u"Peak Low Frequency Output Capacitor Ripple Current", u"A", 1, std::nullopt) \
    X(I__IN_PEAK, u"Peak Return Current", u"A", 1, std::nullopt) \
    X(V__RSENSE, u"Voltage drop across Rsense", u"V", 1, 1) \
    X(R__SENSE, u"Rsense", u"mΩ", 0.001, std::nullopt) \
    X(I__IAC_MAX, u"Maximum IIAC for this Chip", u"µA", 1e-6, std::nullopt) \
    X(R__AC, u"Resistance Needed to Give IIAC at High Line", u"kΩ", 1000, std::nullopt) \
    X(R__VFF, u"Voltage Feed forward Resistor", u"kΩ", 1000, std::nullopt) \
    X(H3__VFF, u"% 3rd Harmonic Permitted Due to VFF", u"%", 1, 1.5) \
    X(V__FF_GAIN, u"VFF Filter Gain", u"", 1, std::nullopt) \
    X(V__FF_POLE, u"VFF 1st Order Filter Pole", u"Hz", 1, std::nullopt) \
    X(V__FF_CO, u"VFF 2nd Order Filter Cut-off Frequency", u"Hz", 1, std::nullopt) \
    X(C__VFF, u"Voltage Feed Forward Capacitor", u"µF", 1e-6, std::nullopt) \
    X(V__AOUT_MAX, u"Max Voltage Amplifier Output for this Chip (VAOUT Pin)", u"V", 1, 5) \
    X(I__AC_PK, u"IAC(pk) @ Peak of Min Line Voltage", u"µA", 1e-6, std::nullopt) \
    X(I__AC_RMS_MIN, u"IAC(rms, min)", u"µA", 1e-6, std::nullopt) \
    X(V__FF_MIN, u"Minimum Feed-Forward Voltage", u"mV", 0.001, std::nullopt) \
    X(K, u"Multiplier Gain Constant for This Chip", u"1/V", 1, std::nullopt) \
    X(I__MOUT_MAX, u"Multiplier Output Current(MOUT Pin)", u"mA", 0.001, std::nullopt) \
    X(R__MOUT, u"Multiplier Op-Amp Resistor 1 (MOUT Pin)", u"kΩ", 1000, std::nullopt) \
    X(B0_VFF, u"B0_VFF", u"", 1, std::nullopt) \
    X(B1_VFF, u"B1_VFF", u"", 1, std::nullopt) \
    X(B2_VFF, u"B2_VFF", u"", 1, std::nullopt) \
    X(A1_VFF, u"A1_VFF", u"", 1, std::nullopt) \
    X(A2_VFF, u"A2_VFF", u"", 1, std::nullopt) \
    X(F__CP0_VL, u"Required Cut-off Frequency", u"Hz", 1, 12.737) \
    X(R__IN, u"Desired Voltage Error Amplifier (VEA) Input Resistor (RIN)", u"MΩ", 1000000, 1000000) \
    X(V__REF, u"VEA Reference Voltage for this Chip", u"V", 1, 7.5) \
    X(R__D, u"VEA dc Bias Resistor(RD)", u"kΩ", 1000, std::nullopt) \
    X(DeltaV__AOUT, u"Effective VEA Output Voltage Range for this Chip - This is the same as VAOUT_MAX for this chip", u"V", 1, std::nullopt) \
    X(F__X_VLOOP, u"Required Crossover Frequency of the Voltage Loop", u"Hz", 1, 7) \
    X(PM__VLOOP, u"Required Phase Margin of the Voltage Loop", u"°", 1, 60) \
    X(H2__ON_VOUT, u"Estimated % 2nd Harmonic on Vout", u"%", 1, std::nullopt) \
    X(H3__LINE_IN, u"Estimated % 3rd Harmonic on Line In due to Voltage Feedback", u"%", 1, std::nullopt) \
    X(C__F, u"Calculated Cf - Sets pole location so as to remove 2nd harmonic", u"nF", 1e-9, std::nullopt) \
    X(R__F, u"Calculated Rf - Usually selected so as to set the pole at Fx", u"kΩ", 1000, std::nullopt) \
    X(C__Z, u"Calculated Cz - Set the low frequency zero", u"nF", 1e-9, std::nullopt) \
    X(F__SAMP_V, u"Slow Loop Sampling/Update Frequency", u"kHz", 1000, 6000) \
    X(B0_V, u"B0_V", u"", 1, std::nullopt) \
    X(B1_V, u"B1_V", u"", 1, std::nullopt) \
    X(B2_V, u"B2_V", u"", 1, std::nullopt) \
    X(A1_V, u"A1_V", u"", 1, std::nullopt) \
    X(A2_V, u"A2_V", u"", 1, std::nullopt) \
    X(F__X_ILOOP, u"Required Crossover Frequency of the Current Loop -  Usually 1/10th of Fs.Min:Fs/50 and Max:Fs/6", u"kHz", 1000, 10000) \
    X(PM__ILOOP, u"Required Phase Margin of the Current Loop", u"°", 1, 50) \
    X(V__RAMP, u"Voltage Swing of Oscillator Ramp for this Chip", u"V", 1, 4) \
    X(T__D, u"Sampling and calculation delay (note: ZOH 0.5*Fsamp already taken into accont", u"", 1, 0.5) \
    X(F__SAMP, u"Sampling Frequency", u"kHz", 1000, 200000) \
    X(R__I, u"Actual Value of RI Used", u"kΩ", 1000, std::nullopt) \
    X(R__F_I, u"Calculated Rf - Usually selected to...", u"kΩ", 1000, std::nullopt) \
    X(C__Z_I, u"Calculated Cz - Sets zero location", u"nF", 1e-9, std::nullopt) \
    X(C__P_I, u"Calculated Cp - Sets pole location", u"pF", 1e-12, std::nullopt) \
    X(B0_I, u"B0_I", u"", 1, std::nullopt) \
    X(B1_I, u"B1_I", u"", 1, std::nullopt) \
    X(B2_I, u"B2_I", u"", 1, std::nullopt) \
    X(A1_I, u"A1_I", u"", 1, std::nullopt) \
    X(A2_I, u"A2_I", u"", 1, std::nullopt) \
    X(T__SS, u"Soft start length", u"ms", 0.001, 0.0075) \
    X(C__SS, u"Soft Start Capacitor", u"nF", 1e-9, std::nullopt) \
    X(T__START, u"IC Start Up Time", u"ms", 0.001, 0.5) \
    X(C__TOT, u"Total Capacitance at VCC Pin", u"µF", 1e-6, 9.999999999999999e-5) \
    X(V__UVLO, u"Under Voltage Lockout", u"V", 1, std::nullopt) \
    X(R__SHUNT, u" Shunt Regulator Resistor", u"kΩ", 1000, std::nullopt) \
    X(C__T, u"Clock Capacitor", u"pF", 1e-12, 5.6e-10) \
    X(R__T, u"Clock Resistor", u"kΩ", 1000, std::nullopt) \
    X(R__REF_HI, u"Reference voltage HI Resistor(R2 + R19)", u"MΩ", 1000000, 1000000) \
    X(R__REF_LO, u"Reference voltage LO Resistor(R3)", u"kΩ", 1000, std::nullopt) \
    X(V__OUT_MAX, u"Maximum output voltage", u"V", 1, 425) \
    X(R__OVP_HI, u"OVP / EN Reference HI Resistor(R20 + R4)", u"kΩ", 1000, 523000) \
    X(R__OVP_LO, u"OVP / EN Reference LO Resistor(R5)", u"kΩ", 1000, std::nullopt) \
    X(I__TRIP, u"Trip current", u"A", 1, 5) \
    X(R__PKLMT_HI, u"PKLMT Reference HI Resistor(R11)", u"kΩ", 1000, 10000) \
    X(R__PKLMT_LO, u"PKLMT Reference LO Resistor(R12)", u"kΩ", 1000, std::nullopt) \
    X(v_fcp0, u"Position of the Compensator's Pole at Origin", u"Hz", 1, std::nullopt) \
    X(v_fcp1, u"Position of the Compensator's 2nd Pole", u"Hz", 1, std::nullopt) \
    X(v_fcz1, u"Position of the Compensator's Zero", u"Hz", 1, std::nullopt) \
    X(i_fcp0, u"Position of the Compensator's Pole at Origin", u"Hz", 1, std::nullopt) \
    X(i_fcp1, u"Position of the Compensator's 2nd Pole", u"Hz", 1, std::nullopt) \
    X(i_fcz1, u"Position of the Compensator's Zero", u"Hz", 1, std::nullopt) \
    X(E__ff, u"????", u"", 1, 1) \
    X(dia__voltage_loop, u"????", u"", 1, 316) \
    X(dia__current_loop, u"????", u"", 1, 320)
// clang-format on

// Symbols added after the Mode, in file order; a saved design lists them
// after `ad`, and a file without them loads with their defaults. Each row:
// X(type, name, description, unit, scale, default, range minimum, range maximum),
// with the recommended range (0, 0) for none. The open bounds of a range are
// the neighbouring doubles: kBelow100 admits everything under 100 %,
// kAbove0 everything over 0.
namespace qxr::catalogue {
inline constexpr double kBelow100 = 99.99999999999999;  // the double just below 100
inline constexpr double kAbove0 = std::numeric_limits<double>::denorm_min();
}  // namespace qxr::catalogue
// clang-format off
#define QXR_ADDED_SYMBOL_CATALOGUE(X) \
    X(CSymbol, P__LOAD_MIN, u"Minimum Load of the Stability Sweep", u"%", 1, 10, qxr::catalogue::kAbove0, 100) \
    X(CSymbol, TOL__L_MIN, u"± Tolerance of the Boost Inductance", u"%", 1, 20, 0, qxr::catalogue::kBelow100) \
    X(CSymbol, TOL__C_OUT, u"± Tolerance of the Output Capacitance", u"%", 1, 20, 0, qxr::catalogue::kBelow100) \
    X(CSymbol, TOL__R_SENSE, u"± Tolerance of Rsense", u"%", 1, 1, 0, qxr::catalogue::kBelow100) \
    X(CSymbol, TOL__R_COMP, u"± Tolerance of the Compensator Resistors", u"%", 1, 1, 0, qxr::catalogue::kBelow100) \
    X(CSymbol, TOL__C_COMP, u"± Tolerance of the Compensator Capacitors", u"%", 1, 10, 0, qxr::catalogue::kBelow100) \
    X(CSymbol, TOL__GAIN, u"± Tolerance of the Controller Gain Constants VRAMP and DeltaVAOUT", u"%", 1, 10, 0, qxr::catalogue::kBelow100) \
    X(CSymbolEnum<CDistribution>, dist__MC, u"Distribution of the Part Values", u"", 1, CDistribution::Uniform, 0, 0) \
    X(CSymbol, N__MC, u"Number of Monte Carlo Samples", u"", 1, 10000, 1, 1000000) \
    X(CSymbol, SEED__MC, u"Seed of the Monte Carlo Samples", u"", 1, 1, 0, 9007199254740992.0) \
    X(CSymbol, PM__MIN, u"Minimum Phase Margin Counted as a Good Sample", u"°", 1, 45, 0, 0) \
    X(CSymbol, GM__MIN, u"Minimum Gain Margin Counted as a Good Sample", u"dB", 1, 10, 0, 0) \
    X(CSymbolEnum<CDiscretisation>, disc__DIG, u"Discretisation Method of the Digital Filters", u"", 1, CDiscretisation::Bilinear, 0, 0) \
    X(CSymbolEnum<CCoefficientFormat>, fmt__COEF, u"Number Format of the Firmware Coefficients", u"", 1, CCoefficientFormat::Double, 0, 0) \
    X(CSymbol, N__FRAC, u"Fraction Bits of the Qm.n Coefficients", u"", 1, 24, 1, 31) \
    X(CSymbolEnum<CSeries>, ser__R, u"Standard Series of the Resistors", u"", 1, CSeries::E96, 0, 0) \
    X(CSymbolEnum<CSeries>, ser__C, u"Standard Series of the Capacitors", u"", 1, CSeries::E12, 0, 0) \
    X(CSymbol, DEV__PAIR, u"Deviation of a Single Standard Value Above Which a Pair Is Proposed", u"%", 1, 2, 0, 100) \
    X(CSymbolEnum<CLoadKind>, load__TD, u"Load of the Time-Domain Simulation", u"", 1, CLoadKind::ConstantPower, 0, 0) \
    X(CSymbolEnum<CHarmonicClass>, cls__IEC, u"IEC 61000-3-2 Class of the Line Current Harmonics", u"", 1, CHarmonicClass::A, 0, 0) \
    X(CSymbol, P__STEP_FROM, u"Load Before and After the Load Step", u"%", 1, 50, 0, 100) \
    X(CSymbol, P__STEP_TO, u"Load During the Load Step", u"%", 1, 100, 0, 100) \
    X(CSymbol, t__SETTLE_MAX, u"Longest Simulated Settling Time of Each Time-Domain Run", u"s", 1, 1, 0.1, 2) \
    X(CSymbol, F__MAP_VLO, u"Lowest Crossover of the Voltage Loop's Design Map", u"Hz", 1, 2, qxr::catalogue::kAbove0, 1000) \
    X(CSymbol, F__MAP_VHI, u"Highest Crossover of the Voltage Loop's Design Map - 2 fLINE / 5 until entered", u"Hz", 1, 20, qxr::catalogue::kAbove0, 1000) \
    X(CSymbol, F__MAP_ILO, u"Lowest Crossover of the Current Loop's Design Map - fS / 100 until entered", u"kHz", 1000, 2000, qxr::catalogue::kAbove0, 100e6) \
    X(CSymbol, F__MAP_IHI, u"Highest Crossover of the Current Loop's Design Map - fS / 5 until entered", u"kHz", 1000, 40000, qxr::catalogue::kAbove0, 100e6) \
    X(CSymbol, PM__MAP_LO, u"Lowest Phase Margin of the Design Maps", u"°", 1, 30, 1, 89) \
    X(CSymbol, PM__MAP_HI, u"Highest Phase Margin of the Design Maps", u"°", 1, 80, 1, 89) \
    X(CSymbol, N__MAP_FX, u"Crossover Points of the Design Maps", u"", 1, 24, 2, 64) \
    X(CSymbol, N__MAP_PM, u"Phase Margin Points of the Design Maps", u"", 1, 16, 2, 64) \
    X(CSymbol, PM__WORST_MIN, u"Least Worst-Case Phase Margin of the Proposed Loop", u"°", 1, 45, 0, 0) \
    X(CSymbol, M__S_MAX, u"Largest Worst-Case Peak Sensitivity Ms of the Proposed Loop", u"", 1, 2, 1, 1000) \
    X(CSymbol, H3__MAX, u"Largest Third Harmonic of the Proposed Loop at Low Line and Full Load", u"%", 1, 10, 0, 0) \
    X(CSymbol, V__STEP_MIN, u"Least Output Voltage of the Proposed Loop on the Load Step - 0.9 VOUT until entered", u"V", 1, 351, 0, 0)
// clang-format on
