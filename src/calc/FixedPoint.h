#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "calc/TwoPoleTwoZero.h"

// The coefficients of a 2p2z set as the firmware holds them: double, float,
// or integers in a 16- or 32-bit word. An integer set is scaled by
// 2^scaleBits; the firmware shifts its accumulator right by scaleBits.
// scaleBits is the format's fraction bits less the set's post-shift, the
// smallest left shift that keeps the largest coefficient inside the word.
namespace qxr {

struct CoefficientFormat {
    int32_t kind = 0;         // a CCoefficientFormat value
    double fractionBits = 0;  // Qm.n only: N__FRAC as entered

    bool IsInteger() const;
    int WordBits() const;      // 16 or 32 for the integer formats
    int FractionBits() const;  // 15, 31 or n
};

// What is wrong with a format, or the empty string: the Qm.n fraction bits
// must be a whole number from 1 to 31.
std::string FormatProblem(const CoefficientFormat& format);

// The format's name as the header and the command line write it:
// "double", "float", "Q15", "Q31", "Q<n>".
std::string FormatName(const CoefficientFormat& format);

struct QuantisedSet {
    std::array<int64_t, kCoefficientsPerSet> integers{};  // integer formats, in output order
    int postShift = 0;
    int scaleBits = 0;
    TwoPoleTwoZero realised{};                          // the coefficients as the firmware runs them
    std::array<bool, kCoefficientsPerSet> saturated{};  // clipped to the word
    std::array<bool, kCoefficientsPerSet> roundedToZero{};
};

// Rounds to nearest. With an integrator, A2 is rounded as one minus A1 so the
// quantised pole stays exactly at z = 1. The format must have no FormatProblem.
QuantisedSet Quantise(const TwoPoleTwoZero& set, const CoefficientFormat& format, bool hasIntegrator);

}  // namespace qxr
