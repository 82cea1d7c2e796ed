#include "spice/SpiceDecks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "calc/DesignConstants.h"
#include "timedomain/StageSimulation.h"

namespace qxr {

namespace {

constexpr double kAmplifierGain = 1e8;  // an ideal op-amp for the AC decks
// The transient deck's op-amps: a gain of 1e5 and a gain-bandwidth of 10 MHz, far above any loop's crossover.
constexpr double kClampedAmplifierGain = 1e5;
constexpr double kClampedAmplifierBandwidth = 10e6;
constexpr double kClampConductance = 1e3;  // S, holding the op-amp's inner node at its limits
constexpr int kAcPointsPerDecade = 100;
constexpr double kSoftStartCurrent = 10e-6;  // A into C__SS
constexpr double kPrototypeLagImpedance = 1e3;
constexpr double kOnRiseFloor = 1e-3;  // of V__OUT / f__S, the least on time's volt-seconds in the deck

// A deck as lines, with a comment before the part it explains.
class Deck {
public:
    void Comment(const std::string& text)
    {
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line))
            text_ += "* " + line + '\n';
    }
    void Line(const std::string& line) { text_ += line + '\n'; }
    void Part(const std::string& comment, const std::string& part)
    {
        Comment(comment);
        Line(part);
    }
    void Blank() { text_ += '\n'; }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

std::string V(double value)
{
    return SpiceValue(value);
}

const char* ModeWord(const SpiceInputs& inputs)
{
    return inputs.analog ? "ANALOG" : "DIGITAL";
}

void Title(Deck& deck, const SpiceInputs& inputs, const std::string& what)
{
    deck.Line("* QXR: " + what + " (" + ModeWord(inputs) + ")");
    deck.Comment("Design: " + (inputs.description.empty() ? std::string("(no description)") : inputs.description));
    deck.Comment("Values are the design's values in force; each part says the symbol it comes from.");
    deck.Blank();
}

// Middlebrook's voltage injection between the amplifier's output (an ideal
// source) and the input it drives (no current), where the loop gain is
// exactly -V(a)/V(b).
void Injection(Deck& deck, const std::string& a, const std::string& b)
{
    deck.Part("Loop gain by Middlebrook's voltage injection: VINJ sits between the amplifier's output\n"
              "(zero impedance) and the input it drives (infinite impedance), so T = -V(" +
                  a + ")/V(" + b + ") exactly.",
              "VINJ " + b + " " + a + " DC 0 AC 1");
}

void AcControl(Deck& deck, const FrequencyRange& range, const std::string& a, const std::string& b)
{
    deck.Blank();
    deck.Line(".control");
    deck.Line("set wr_singlescale");
    deck.Line("set wr_vecnames");
    deck.Line("option numdgt=12");
    deck.Line("ac dec " + std::to_string(kAcPointsPerDecade) + " " + V(range.start) + " " + V(range.stop));
    deck.Comment("V(a)/V(b) = -T: its phase less 180 degrees is the loop's, continuous from the low end.");
    deck.Line("let ratio = v(" + a + ")/v(" + b + ")");
    deck.Line("let gain = db(ratio)");
    deck.Line("let phase = cph(ratio)*180/pi - 180");
    deck.Line(std::string("wrdata ") + kSpiceDataFile + " gain phase");
    deck.Line("quit");
    deck.Line(".endc");
    deck.Line(".end");
}

// The inverting amplifier of a loop: the input resistor from source to the
// node, the feedback network to the output, then the amplifier itself.
void Amplifier(Deck& deck, const AmplifierParts& parts, const std::array<const char*, 4>& names,
               const std::string& source, const std::string& node, const std::string& output,
               const std::array<const char*, 4>& symbols, const std::string& opAmp)
{
    const std::string zero = node + "z";
    deck.Part(symbols[0], std::string(names[0]) + " " + source + " " + node + " " + V(parts.rIn));
    deck.Part(symbols[1], std::string(names[1]) + " " + node + " " + zero + " " + V(parts.rF));
    deck.Part(symbols[2], std::string(names[2]) + " " + zero + " " + output + " " + V(parts.cZ));
    deck.Part(symbols[3], std::string(names[3]) + " " + node + " " + output + " " + V(parts.cF));
    deck.Part("The amplifier, ideal", opAmp);
}

constexpr std::array<const char*, 4> kVoltageNames{"RIN", "RF_V", "CZ_V", "CF_V"};
constexpr std::array<const char*, 4> kCurrentNames{"RI", "RF_I", "CZ_I", "CP_I"};

std::array<const char*, 4> AmplifierSymbols(const SpiceInputs& inputs, ControlLoop loop)
{
    if (!inputs.analog)
        return {"Prototype: its input resistor, chosen", "Prototype: from the integrator, zero and pole",
                "Prototype: from the integrator, zero and pole", "Prototype: from the integrator, zero and pole"};
    if (loop == ControlLoop::Voltage)
        return {"R__IN", "R__F", "C__Z", "C__F"};
    return {"R__I", "R__F_I", "C__Z_I", "C__P_I"};
}

std::string AcVoltageDeck(const SpiceInputs& in)
{
    Deck deck;
    Title(deck, in, "AC analysis of the voltage loop");
    const double inputPowerPerVolt = in.pOut / in.efficiency / in.deltaVAout;
    deck.Comment("The stage averaged over the line as its power balance: the controller's output u asks for\n"
                 "u (P__OUT / E__ff) / DeltaV__AOUT of input power, all of it into C__OUT, as the design's\n"
                 "voltage plant assumes; the constant-power load P__OUT takes it out again.");
    deck.Line(".param PIN_PER_VOLT = " + V(inputPowerPerVolt) + "  $ P__OUT / E__ff / DeltaV__AOUT, W/V");
    deck.Line(".param POUT = " + V(in.pOut) + "  $ P__OUT");
    deck.Part("C__OUT", "COUT out 0 " + V(in.outputCapacitance));
    deck.Part("The stage: the input power the controller asks for, as a current into the output",
              "B_PFC 0 out I = V(vc) * {PIN_PER_VOLT} / max(V(out), 1)");
    deck.Part("The load: P__OUT at any output voltage", "B_LOAD out 0 I = {POUT} / max(V(out), 1)");
    deck.Blank();
    const auto& amp = in.amplifiers[0];
    if (in.analog) {
        deck.Comment("The voltage amplifier: R__IN from the output, R__D to ground, R__F + C__Z across C__F,\n"
                     "its + input at V__REF.");
        deck.Part("R__D", "RD vinv 0 " + V(in.rD));
        deck.Part("V__REF", "VREF ref 0 DC " + V(in.vRef));
    } else {
        deck.Comment("The voltage loop's compensator as its continuous prototype (the firmware runs it sampled):\n"
                     "v_fcp0, v_fcp1 and v_fcz1 realised around an ideal amplifier, the error V__OUT - vOut.");
        deck.Part("V__OUT", "VREF ref 0 DC " + V(in.vOut));
        deck.Part("The converter samples the output without loading it", "E_ADC sense 0 out 0 1");
    }
    Amplifier(deck, amp, kVoltageNames, in.analog ? "out" : "sense", "vinv", "vaout",
              AmplifierSymbols(in, ControlLoop::Voltage), "E_VA vaout 0 ref vinv " + V(kAmplifierGain));
    deck.Blank();
    Injection(deck, "vaout", "vc");
    deck.Line(".nodeset V(out)=" + V(in.vOut) + " V(vc)=" + V(in.pOut / inputPowerPerVolt));
    AcControl(deck, in.ranges[0], "vaout", "vc");
    return deck.Text();
}

std::string AcCurrentDeck(const SpiceInputs& in)
{
    Deck deck;
    Title(deck, in, "AC analysis of the current loop");
    const double peakLine = kSqrt2 * in.vInMin;
    const double peakCurrent = kSqrt2 * in.pOut / (in.efficiency * in.vInMin);
    deck.Comment("The stage at the peak of the V__IN_MIN line at full load, its output held at V__OUT by\n"
                 "C__OUT (whose ripple lies far below the current loop's frequencies).");
    deck.Part("sqrt(2) V__IN_MIN", "VIN vin 0 DC " + V(peakLine));
    deck.Part("L__MIN", "L1 vin sw " + V(in.inductance));
    deck.Part("Measures the inductor current", "VL sw q DC 0");
    const std::string duty = in.analog ? "V(vc) / " + V(in.rampVoltage) : "V(lag)";
    deck.Part(in.analog ? "Q1 and D1 as the averaged switch in continuous conduction, duty = V(vc) / V__RAMP"
                        : "Q1 and D1 as the averaged switch in continuous conduction, duty = the delayed output",
              "B_Q1 q 0 V = (1 - " + duty + ") * V(out)");
    deck.Part("V__OUT", "VOUT out 0 DC " + V(in.vOut));
    deck.Part("RS: R__SENSE, sensing the inductor current without a drop in its path, as the design's\n"
              "current plant has it",
              "H_RS cs 0 VL " + V(in.rSense));
    deck.Blank();
    if (in.analog) {
        deck.Comment("The multiplier's output current at this operating point into RMO (R__MOUT): the reference");
        deck.Line("IMO 0 iref DC " + V(peakCurrent * in.rSense / in.rMout));
        deck.Part("R__MOUT", "RMO iref 0 " + V(in.rMout));
        deck.Comment("The current amplifier: R__I from the sensed current less the reference, R__F_I + C__Z_I\n"
                     "across C__P_I, its + input at ground.");
    } else {
        deck.Part("The firmware's current reference at this operating point, in sense volts",
                  "VREF_I iref 0 DC " + V(peakCurrent * in.rSense));
        deck.Comment("The current loop's compensator as its continuous prototype (the firmware runs it sampled):\n"
                     "i_fcp0, i_fcp1 and i_fcz1 realised around an ideal amplifier.");
    }
    deck.Part("The current amplifier's source: the sensed current less the reference", "E_CS err 0 cs iref 1");
    Amplifier(deck, in.amplifiers[1], kCurrentNames, "err", "cinv", "cao", AmplifierSymbols(in, ControlLoop::Current),
              "E_CA cao 0 0 cinv " + V(kAmplifierGain));
    deck.Blank();
    Injection(deck, "cao", "vc");
    if (!in.analog) {
        const double lag = (0.5 + in.delayPeriods) / in.currentSampling;
        deck.Part("The sampling lag as a delay: half a period of F__SAMP for the hold and T__D periods more,\n"
                  "a matched lossless line",
                  "T_LAG vc 0 lag 0 Z0=" + V(kPrototypeLagImpedance) + " TD=" + V(lag));
        deck.Part("The line's termination", "R_LAG lag 0 " + V(kPrototypeLagImpedance));
    }
    AcControl(deck, in.ranges[1], "cao", "vc");
    return deck.Text();
}

// --- The transient deck

// An op-amp whose output stays within [0, high]: a transconductance of 1 S into the resistor of its DC gain
// and the capacitor of its gain-bandwidth, the inner node held at the limits, buffered to the output. The
// inner node is a state of its own, so no step of the simulator faces the gain across an algebraic loop.
void ClampedAmplifier(Deck& deck, const std::string& who, const std::string& name, const std::string& plus,
                      const std::string& minus, const std::string& output, const std::string& high,
                      double initialOutput)
{
    const std::string inner = output + "int";
    deck.Part(who + "'s input stage, 1 S", "G_" + name + " 0 " + inner + " " + plus + " " + minus + " 1");
    deck.Part("Its DC gain of 1e5", "R_" + name + " " + inner + " 0 " + V(kClampedAmplifierGain));
    deck.Part("Its gain-bandwidth of 10 MHz", "C_" + name + " " + inner + " 0 " +
                                                  V(1 / (kTwoPi * kClampedAmplifierBandwidth)) +
                                                  " IC=" + V(initialOutput));
    deck.Part("Its output's limits, holding the inner node",
              "B_" + name + "CL " + inner + " 0 I = " + V(kClampConductance) + " * (max(V(" + inner + ") - " + high +
                  ", 0) - max(-V(" + inner + "), 0))");
    deck.Part("Its output stage", "E_" + name + " " + output + " 0 " + inner + " 0 1");
}

std::string Pwl(const TimeDomainInputs& td, const SpiceTransientTimes& t)
{
    const double full = td.pOut, from = td.stepFrom * td.pOut, to = td.stepTo * td.pOut;
    const double edge = t.gridStep / 100;
    const double toFrom = t.fullLoadEnd + 0.25 * t.linePeriod;
    std::string pwl = "PWL(0 " + V(full) + " " + V(toFrom) + " " + V(full);
    pwl += " " + V(toFrom + edge) + " " + V(from) + " " + V(t.stepStart) + " " + V(from);
    pwl += " " + V(t.stepStart + edge) + " " + V(to) + " " + V(t.stepBack) + " " + V(to);
    pwl += " " + V(t.stepBack + edge) + " " + V(from) + ")";
    return pwl;
}

std::string TransientDeck(const SpiceInputs& in)
{
    const TimeDomainInputs& td = in.timeDomain;
    const AnalogControllerParts& p = td.analogParts;
    const SpiceTransientTimes t = TransientTimesOf(td);
    StageSimulation sim(td, td.lineVoltages[1], {td.loadKind, td.pOut, td.vOut}, {});
    sim.StartAtOperatingPoint(0);
    const StageState& x = sim.State();

    Deck deck;
    Title(deck, in, "transient analysis of the whole stage");
    deck.Comment("The same large-signal model as the time domain: the boost stage averaged over a switching\n"
                 "period in continuous and discontinuous conduction, the multiplier, the feed-forward filter,\n"
                 "both amplifiers with their output limits and the soft start. Replace B_Q1 and B_D1 by a\n"
                 "switch and a diode (and the line by a bridge) for a switching model; the rest stays.\n"
                 "It starts at the operating point at V__IN_NORM and full load, runs to " +
                 V(t.fullLoadEnd) + "s (the\nsteady state: its last line period), steps the load to P__STEP_FROM, at " +
                 V(t.stepStart) + "s to P__STEP_TO and at " + V(t.stepBack) + "s back.");
    deck.Blank();
    deck.Line(".param VPK = " + V(kSqrt2 * td.lineVoltages[1]) + "  $ sqrt(2) V__IN_NORM");
    deck.Line(".param FLINE = " + V(td.lineFrequency) + "  $ f__LINE");
    deck.Line(".param TS = " + V(1 / td.switchingFrequency) + "  $ 1 / f__S");
    deck.Line(".param LMIN = " + V(td.inductance) + "  $ L__MIN");
    deck.Line(".param EFF = " + V(td.efficiency) + "  $ E__ff");
    deck.Line(".param VNOM = " + V(td.vOut) + "  $ V__OUT");
    deck.Line(".param ITRIP = " + V(p.tripCurrent) + "  $ I__TRIP");
    deck.Line(".param VRAMP = " + V(p.rampVoltage) + "  $ V__RAMP");
    deck.Line(".param DMAX = " + V(kMaxDuty) + "  $ the largest duty");
    deck.Line(".param KMUL = " + V(p.multiplierGain) + "  $ K, 1/V");
    deck.Line(".param VFFLOOR = " + V(0.5 * p.feedForwardMin) + "  $ V__FF_MIN / 2");
    deck.Line(".param VSFLOOR = " + V(kOnRiseFloor * td.vOut / td.switchingFrequency) + "  $ V__OUT / f__S / 1000");
    deck.Blank();
    deck.Part("The rectified line at V__IN_NORM", "B_LINE vin 0 V = {VPK} * abs(sin(2 * pi * {FLINE} * time))");
    deck.Part("L__MIN", "L1 vin sw " + V(td.inductance) + " IC=" + V(x[kInductorCurrent]));
    deck.Part("Measures the inductor current", "VL sw q DC 0");
    deck.Comment("The duty: the current amplifier's output over V__RAMP; above I__TRIP the comparator cuts it\n"
                 "towards the one that holds the current there (a steep limiter, so the deck stays smooth).");
    deck.Line("B_DUTY d 0 V = max(0, min(V(cao) / {VRAMP}, max(0, 1 - V(vin) / max(V(out), 1)) + 100 * (1 - "
              "i(VL) / {ITRIP})))");
    deck.Part("The off fraction d2: 1 - d in continuous conduction, 2 L iL / (vIn d Ts) - d in discontinuous,\n"
              "the smaller of the two, so that one continuous expression covers both. Near the line's zero\n"
              "crossings vIn d Ts is floored at VSFLOOR, which bounds how fast an emptying inductor's current\n"
              "may fall (at most 2 V__OUT / VSFLOOR per second relative to it).",
              "B_OFF d2 0 V = max(0, min(1 - V(d), 2 * {LMIN} * i(VL) / max(V(vin) * V(d) * {TS}, {VSFLOOR}) - V(d)))");
    deck.Part("Q1 and D1 averaged: the switch node's mean voltage, vIn while neither conducts",
              "B_Q1 q 0 V = V(vin) * (1 - V(d) - V(d2)) + V(d2) * V(out)");
    deck.Part("D1: the diode's share d2 / (d + d2) of the mean current, E__ff of it delivered",
              "B_D1 0 out I = {EFF} * max(i(VL), 0) * V(d2) / max(V(d) + V(d2), 1m)");
    deck.Part("C__OUT", "COUT out 0 " + V(td.capacitance) + " IC=" + V(x[kOutputVoltage]));
    deck.Part("The load in W: P__OUT, then P__STEP_FROM, P__STEP_TO and back", "V_PLOAD pload 0 " + Pwl(td, t));
    if (td.loadKind == CLoadKind::Resistive)
        deck.Part("Resistive load, P at V__OUT", "B_LOAD out 0 I = V(pload) * V(out) / ({VNOM} * {VNOM})");
    else
        deck.Part("Constant-power load, fading to a resistance near 0 V",
                  "B_LOAD out 0 I = V(pload) * V(out) / (V(out) * V(out) + (1m * {VNOM}) * (1m * {VNOM}))");
    deck.Blank();

    deck.Comment("Feed-forward: half of I_AC = vIn / R__AC into R__VFF || C__VFF, then a second RC stage\n"
                 "with its corner at V__FF_CO.");
    deck.Part("R__AC", "B_IAC 0 vffpin I = 0.5 * V(vin) / " + V(p.rAc));
    deck.Part("R__VFF", "RVFF vffpin 0 " + V(p.rVff));
    deck.Part("C__VFF", "CVFF vffpin 0 " + V(p.cVff) + " IC=" + V(x[kFeedForwardPin]));
    deck.Part("The second stage, buffered from the pin", "E_FF vffbuf 0 vffpin 0 1");
    deck.Part("The second stage: 1k with the capacitor for its corner at V__FF_CO", "R_FF vffbuf vff 1k");
    deck.Part("V__FF_CO", "C_FF vff 0 " + V(1 / (kTwoPi * p.feedForwardCorner * 1e3)) + " IC=" + V(x[kFeedForwardOut]));
    deck.Part("The multiplier: I_MOUT = I_AC (VAOUT - 1) / (K V_FF^2) into RMO (R__MOUT), V_FF floored",
              "B_MUL 0 mref I = (V(vin) / " + V(p.rAc) +
                  ") * max(V(vaout) - 1, 0) / ({KMUL} * max(V(vff), {VFFLOOR}) ** 2)");
    deck.Part("R__MOUT", "RMO mref 0 " + V(p.rMout));
    deck.Blank();

    deck.Part("RS: R__SENSE, the sensed inductor current", "H_RS cs 0 VL " + V(td.rSense));
    deck.Part("The current amplifier's source: the sensed current less I_MOUT R__MOUT", "E_CS err 0 cs mref 1");
    deck.Comment("The current amplifier: R__I, R__F_I + C__Z_I across C__P_I, output within [0, " + V(kMaxDuty) +
                 " V__RAMP].");
    deck.Part("R__I", "RI err cinv " + V(p.rI));
    deck.Part("R__F_I", "RF_I cinv cinvz " + V(p.rFI));
    deck.Part("C__Z_I", "CZ_I cinvz cao " + V(p.cZI) + " IC=" + V(x[kCurrentAmpZero]));
    deck.Part("C__P_I", "CP_I cinv cao " + V(p.cPI) + " IC=" + V(x[kCurrentAmpFeedback]));
    ClampedAmplifier(deck, "The current amplifier", "CA", "0", "cinv", "cao", "{DMAX} * {VRAMP}",
                     std::clamp(-x[kCurrentAmpFeedback], 0.0, kMaxDuty * p.rampVoltage));
    deck.Blank();

    deck.Comment("The voltage amplifier: R__IN, R__D, R__F + C__Z across C__F, output within [0, V__AOUT_MAX],\n"
                 "its reference the soft start's: 10 uA into C__SS (charged here), up to V__REF.");
    deck.Part("The soft start's current", "I_SS 0 ss DC " + V(kSoftStartCurrent));
    deck.Part("C__SS", "CSS ss 0 " + V(p.softStartCapacitor) + " IC=" + V(p.vRef));
    deck.Part("V__REF", "B_REF ref 0 V = min(V(ss), " + V(p.vRef) + ")");
    deck.Part("R__IN", "RIN out vinv " + V(p.rIn));
    deck.Part("R__D", "RD vinv 0 " + V(p.rD));
    deck.Part("R__F", "RF_V vinv vinvz " + V(p.rF));
    deck.Part("C__Z", "CZ_V vinvz vaout " + V(p.cZ) + " IC=" + V(x[kVoltageAmpZero]));
    deck.Part("C__F", "CF_V vinv vaout " + V(p.cF) + " IC=" + V(x[kVoltageAmpFeedback]));
    ClampedAmplifier(deck, "The voltage amplifier", "VA", "ref", "vinv", "vaout", V(p.outputMax),
                     std::clamp(p.vRef - x[kVoltageAmpFeedback], 0.0, p.outputMax));

    deck.Blank();
    deck.Line(".control");
    deck.Line("set wr_singlescale");
    deck.Line("set wr_vecnames");
    deck.Line("option numdgt=12");
    deck.Line("tran " + V(t.gridStep) + " " + V(t.end) + " 0 " + V(t.gridStep) + " uic");
    deck.Comment("A run that gave up early writes nothing: linearize would pad it with zeros.");
    deck.Line("if time[length(time) - 1] < " + V(t.end - t.gridStep));
    deck.Line("  echo Error: the transient analysis ended early");
    deck.Line("  quit");
    deck.Line("end");
    deck.Comment("On the time domain's grid: 512 samples a line period.");
    deck.Line("linearize");
    deck.Line("let il = i(VL)");
    deck.Line("let vout = v(out)");
    deck.Line(std::string("wrdata ") + kSpiceDataFile + " v(vin) il vout");
    deck.Line("quit");
    deck.Line(".endc");
    deck.Line(".end");
    return deck.Text();
}

}  // namespace

const char* SpiceDeckWord(SpiceDeck deck)
{
    switch (deck) {
    case SpiceDeck::AcVoltage:
        return "ac-voltage";
    case SpiceDeck::AcCurrent:
        return "ac-current";
    case SpiceDeck::Transient:
        break;
    }
    return "transient";
}

SpiceDeckText WriteSpiceDeck(const SpiceInputs& inputs, SpiceDeck deck)
{
    if (!inputs.notComputed.empty())
        return {"", inputs.notComputed};
    switch (deck) {
    case SpiceDeck::AcVoltage:
        return {AcVoltageDeck(inputs), ""};
    case SpiceDeck::AcCurrent:
        return {AcCurrentDeck(inputs), ""};
    case SpiceDeck::Transient:
        break;
    }
    if (!inputs.analog)
        return {"", "No Spice deck: the transient deck models the ANALOG controller only."};
    if (!inputs.timeDomain.notComputed.empty())
        return {"", inputs.timeDomain.notComputed};
    return {TransientDeck(inputs), ""};
}

SpiceTransientTimes TransientTimesOf(const TimeDomainInputs& td)
{
    SpiceTransientTimes t;
    t.linePeriod = 1 / td.lineFrequency;
    // Whole line periods, long enough for the voltage loop to settle after each change.
    const double settle = std::ceil(std::min(td.settleMax, 0.25) / t.linePeriod) * t.linePeriod;
    t.fullLoadEnd = settle;
    // The load changes at the line's peak, away from the zero crossings where the conduction changes.
    t.stepStart = t.fullLoadEnd + 0.25 * t.linePeriod + settle;
    t.stepBack = t.stepStart + settle;
    t.end = t.stepBack + settle;
    t.gridStep = t.linePeriod / kSpiceSamplesPerPeriod;
    return t;
}

std::string SpiceValue(double value)
{
    if (!std::isfinite(value))
        return "nan";
    if (value == 0)
        return "0";
    static const char* const kPrefixes[] = {"f", "p", "n", "u", "m", "", "k", "Meg", "g", "t"};
    char text[64];
    std::snprintf(text, sizeof text, "%.9e", value);  // the exponent after rounding to ten digits
    const int exponent = std::atoi(std::strchr(text, 'e') + 1);
    const int group = std::clamp(static_cast<int>(std::floor(exponent / 3.0)), -5, 4);
    const double mantissa = std::strtod(text, nullptr) / std::pow(10.0, 3 * group);
    std::snprintf(text, sizeof text, "%.10g%s", mantissa, kPrefixes[group + 5]);
    return text;
}

}  // namespace qxr
