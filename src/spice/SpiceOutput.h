#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What ngspice's wrdata writes (with wr_singlescale and wr_vecnames): a
// header naming the scale and each vector, then one line a point with a
// number for each, separated by blanks.
namespace qxr {

struct SpiceTable {
    std::vector<double> scale;                 // rising strictly
    std::vector<std::vector<double>> vectors;  // in the order asked for, each as long as scale
    std::string error;                         // "line N: ...", empty when the text is good; then all is empty
};

// Every line is checked: the header must name scaleName and then exactly
// the vectors asked for; each data line holds as many numbers, all finite
// and within kMaxSpiceMagnitude, the scale rising strictly. Blank lines
// anywhere and more than kMaxSpicePoints data lines are refused.
SpiceTable ReadSpiceTable(std::string_view text, std::string_view scaleName, const std::vector<std::string>& names);

inline constexpr std::size_t kMaxSpicePoints = 2000000;
inline constexpr double kMaxSpiceMagnitude = 1e30;
// The most bytes of output read back: far above the largest deck's (the transient's few MiB).
inline constexpr std::size_t kMaxSpiceDataBytes = std::size_t{32} * 1024 * 1024;

}  // namespace qxr
