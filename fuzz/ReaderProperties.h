#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis/ExactMetrics.h"
#include "analysis/MeasuredLoop.h"
#include "app/InstanceMessage.h"
#include "spice/SpiceOutput.h"

// What the readers of outside bytes promise of whatever they accept. Each
// check returns the first broken promise, or the empty string; the fuzz
// targets abort on one, and the unit tests show that each check catches its
// fault.
namespace qxr::fuzz {

// A read holds points or an error naming the line, never both; the points
// are at least 2 and at most kMaxMeasuredPoints, finite, within the gain
// limit, strictly rising in frequency and unwrapped (neighbours less than a
// half turn apart).
std::string MeasurementViolation(const MeasurementRead& read);

// The figures of measured points: all NaN without a crossover; otherwise a
// positive crossover, a phase margin in [-180, 180], a gain margin that is a
// number or +infinity, and a finite slope that does not rise.
std::string MeasuredFiguresViolation(const ExactMetrics& figures);

// A message taken from the front of bytes: a name is one absolute name of at
// most kMaxInstanceNameBytes without NUL, its message is exactly the bytes it
// took, and the name survives its way through a QString; only a message
// that can still be whole is left waiting for more bytes.
std::string InstanceMessageViolation(std::string_view bytes, const TakenMessage& taken);

// A name read from a .path file is its bytes unchanged, without NUL, and
// survives its way through a QString; bytes without NUL within the limit
// always read.
std::string RecoveryNameViolation(std::string_view bytes, const std::optional<std::string>& name);

// ngspice's output as read: a table or an error naming the line, never both;
// a table holds a vector for each name asked for, each as long as its scale,
// at most kMaxSpicePoints points, every number finite and within
// kMaxSpiceMagnitude, the scale rising strictly.
std::string SpiceTableViolation(const SpiceTable& table, std::size_t vectors);

}  // namespace qxr::fuzz
