#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "calc/TwoPoleTwoZero.h"

// The step function of the exported firmware header (analysis/FirmwareHeader.cpp)
// in C++, operation for operation, so that a simulation of the firmware runs
// exactly the numbers the firmware would.
namespace qxr {

// The numbers a set's definitions (CoefficientText) stand for, in output
// order, read back from the text as a C compiler reads them: the double
// header's coefficients are its 16 decimals, not the values calculated.
std::array<double, kCoefficientsPerSet> DefinedCoefficients(const std::string& definitions);

// A set's state as the header's qxr_2p2z_..._state holds it.
template <typename Value>
struct FirmwareFilterState {
    Value x1{}, x2{}, y1{}, y2{};
};

// One sample through a set of a real format: y = B0 x + B1 x1 + B2 x2 + A1 y1 + A2 y2, in the type's arithmetic.
double FirmwareStep(FirmwareFilterState<double>& state, const std::array<double, kCoefficientsPerSet>& c, double x);
float FirmwareStep(FirmwareFilterState<float>& state, const std::array<float, kCoefficientsPerSet>& c, float x);

// One sample through an integer set: products in an accumulator twice the word, saturating sums, the sum
// rounded to nearest and shifted right by shift, the output saturated to the word.
int16_t FirmwareStep(FirmwareFilterState<int16_t>& state, const std::array<int16_t, kCoefficientsPerSet>& c, int shift,
                     int16_t x);
int32_t FirmwareStep(FirmwareFilterState<int32_t>& state, const std::array<int32_t, kCoefficientsPerSet>& c, int shift,
                     int32_t x);

}  // namespace qxr
